#include "gridexport/print_table.h"

#include "db/dataset.h"
#include "db/local_database.h"
#include "gridexport/progress.h"

#include <QDate>

namespace rek2 {

QString operatorName(SumOperator op)
{
    switch (op) {
    case SumOperator::Sum:
        return QStringLiteral("SUM");
    case SumOperator::Avg:
        return QStringLiteral("AVG");
    case SumOperator::Min:
        return QStringLiteral("MIN");
    case SumOperator::Max:
        return QStringLiteral("MAX");
    }
    return {};
}

SumOperator nextOperator(SumOperator op)
{
    switch (op) {
    case SumOperator::Sum:
        return SumOperator::Avg;
    case SumOperator::Avg:
        return SumOperator::Min;
    case SumOperator::Min:
        return SumOperator::Max;
    case SumOperator::Max:
        return SumOperator::Sum;
    }
    return SumOperator::Sum;
}

namespace {

bool groupable(FieldType t)
{
    return t == FieldType::String || t == FieldType::Integer || t == FieldType::Date;
}

} // namespace

PrintTable::PrintTable(const DataSet& source, const QVector<GridColumn>& columns)
    : source_(source), db_(std::make_unique<LocalDatabase>())
{
    Column n;
    n.name = QStringLiteral("N");
    n.def.name = n.name;
    n.def.type = FieldType::Integer;
    n.def.displayLabel = n.name;
    n.def.displayWidth = 1;
    n.sourceField = -1;
    columns_.push_back(n);
    int i = 1;
    for (const GridColumn& g : columns) {
        Column c;
        c.name = QStringLiteral("C%1").arg(i++);
        c.def = g.def;
        c.def.name = c.name;
        c.def.displayLabel = g.label();
        c.def.displayWidth = g.width;
        c.def.visible = true;
        c.def.calculated = false;
        if (c.def.type == FieldType::Variant)
            c.def.type = FieldType::String;
        c.sourceField = g.field;
        columns_.push_back(c);
    }
    QVector<QPair<QString, FieldType>> ddl;
    for (const Column& c : columns_)
        ddl.push_back({c.name, c.def.type});
    table_ = db_->createTable(QStringLiteral("_TMP"), ddl);
    setDefaultLists();
}

PrintTable::~PrintTable() = default;

SumOperator PrintTable::defaultOperator(const Column& c) const
{
    if (c.def.type == FieldType::Date)
        return SumOperator::Max;
    static const char* const averaged[] = {"tecaj", "tečaj", "cena", "temperatura", "index"};
    const QString label = c.def.displayLabel.toLower();
    for (const char* word : averaged)
        if (label.contains(QString::fromUtf8(word)))
            return SumOperator::Avg;
    return SumOperator::Sum;
}

void PrintTable::setDefaultLists()
{
    int firstOther = 1;
    while (firstOther < columns_.size() && groupable(columns_[firstOther].def.type))
        ++firstOther;
    setGroupsUpTo(firstOther - 1);
}

void PrintTable::setGroupsUpTo(int column)
{
    groups.clear();
    sums.clear();
    for (int i = 1; i < columns_.size(); ++i) {
        const FieldType t = columns_[i].def.type;
        if (i <= column)
            groups.push_back({i, true});
        else if (t == FieldType::Float || t == FieldType::Date)
            sums.push_back({i, defaultOperator(columns_[i])});
    }
    sums.push_back({0, SumOperator::Sum});
}

void PrintTable::copyRows(Progress* progress)
{
    if (copied_)
        return;
    const int rows = source_.Active() ? source_.RecordCount() : 0;
    ProgressScope scope(progress, QStringLiteral("Copy to local table"), rows);
    auto appender = db_->appender(table_, int(columns_.size()));
    QVector<QVariant> values(columns_.size());
    values[0] = 1;
    for (int r = 0; r < rows; ++r) {
        for (int c = 1; c < columns_.size(); ++c)
            values[c] = source_.Value(r, columns_[c].sourceField);
        appender->append(values.constData());
        scope.step();
    }
    appender->commit();
    copied_ = true;
}

void PrintTable::openLocal(DataSet& ds) const
{
    ds.Close();
    ds.ClearFieldDefs();
    ds.SetSession(&db_->session());
    for (const Column& c : columns_)
        ds.AddField(c.def);
    ds.SQL = QStringList{QStringLiteral("SELECT * FROM ") + table_};
    ds.Open();
}

QString PrintTable::aggregate(const SumField& s) const
{
    return operatorName(s.op) + QLatin1Char('(') + columns_[s.column].name + QLatin1Char(')');
}

void PrintTable::openSorted(DataSet& ds) const
{
    QStringList detail, total, order;
    for (int i = 0; i < groups.size(); ++i) {
        const QString g = columns_[groups[i].column].name;
        detail << QStringLiteral("0 T%1, %2 G%1").arg(i).arg(g);
        total << QStringLiteral("1 T%1, NULL G%1").arg(i);
        order << QStringLiteral("T%1, G%1").arg(i);
    }
    for (int i = 0; i < sums.size(); ++i) {
        detail << QStringLiteral("%1 S%2").arg(columns_[sums[i].column].name).arg(i);
        total << QStringLiteral("%1 S%2").arg(aggregate(sums[i])).arg(i);
    }
    QStringList sql;
    sql << QStringLiteral("SELECT * FROM (SELECT ") + detail.join(QStringLiteral(", ")) +
               QStringLiteral(" FROM ") + table_;
    sql << QStringLiteral("UNION ALL SELECT ") + total.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
               table_ + QStringLiteral(")");
    if (!order.isEmpty())
        sql << QStringLiteral("ORDER BY ") + order.join(QStringLiteral(", "));
    openResult(ds, sql, int(groups.size()));
}

void PrintTable::openGrouped(DataSet& ds) const
{
    // Depth of each level: the grand total groups by nothing; a marked
    // field's level groups by the fields up to it and the unmarked ones
    // right after it.
    QVector<int> depths{0};
    for (int i = 0; i < groups.size(); ++i) {
        if (!groups[i].marked)
            continue;
        int depth = i + 1;
        while (depth < groups.size() && !groups[depth].marked)
            ++depth;
        depths.push_back(depth);
    }
    QStringList sql{QStringLiteral("SELECT * FROM (")};
    for (int l = 0; l < depths.size(); ++l) {
        const int depth = depths[l];
        QStringList select, groupBy;
        for (int i = 0; i < groups.size(); ++i) {
            const QString g = columns_[groups[i].column].name;
            if (i < depth) {
                select << QStringLiteral("0 T%1, %2 G%1").arg(i).arg(g);
                groupBy << g;
            } else {
                select << QStringLiteral("1 T%1, NULL G%1").arg(i);
            }
        }
        for (int i = 0; i < sums.size(); ++i)
            select << QStringLiteral("%1 S%2").arg(aggregate(sums[i])).arg(i);
        QString line = (l > 0 ? QStringLiteral("UNION ALL SELECT ") : QStringLiteral("SELECT ")) +
                       select.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + table_;
        if (!groupBy.isEmpty())
            line += QStringLiteral(" GROUP BY ") + groupBy.join(QStringLiteral(", "));
        sql << line;
    }
    sql << QStringLiteral(")");
    QStringList order;
    for (int i = 0; i < groups.size(); ++i)
        order << QStringLiteral("T%1, G%1").arg(i);
    if (!order.isEmpty())
        sql << QStringLiteral("ORDER BY ") + order.join(QStringLiteral(", "));
    openResult(ds, sql, int(groups.size()));
}

void PrintTable::openResult(DataSet& ds, const QStringList& sql, int groupCount) const
{
    ds.Close();
    ds.ClearFieldDefs();
    ds.SetSession(&db_->session());
    // Each group column is shown through a text field that holds the total
    // label on total rows and the value's display text elsewhere, so no real
    // value can ever be taken for a total.
    QVector<FieldDef> shown;
    for (int i = 0; i < groupCount; ++i) {
        const Column& c = columns_[groups[i].column];
        FieldDef text = c.def;
        text.name = c.name;
        text.type = FieldType::String;
        text.displayFormat.clear();
        text.calculated = true;
        ds.AddField(text);
    }
    for (int i = 0; i < sums.size(); ++i) {
        const Column& c = columns_[sums[i].column];
        FieldDef def = c.def;
        def.name = QStringLiteral("S%1").arg(i);
        if (sums[i].op == SumOperator::Avg && def.type == FieldType::Integer) {
            def.type = FieldType::Float;
            if (def.displayFormat.isEmpty())
                def.displayFormat = QStringLiteral("#,##0.00");
        }
        ds.AddField(def);
    }
    for (int i = 0; i < groupCount; ++i) {
        FieldDef flag{QStringLiteral("T%1").arg(i), FieldType::Integer};
        flag.visible = false;
        ds.AddField(flag);
        FieldDef value = columns_[groups[i].column].def;
        value.name = QStringLiteral("G%1").arg(i);
        value.visible = false;
        ds.AddField(value);
    }
    const QString label = totalLabel;
    QVector<FieldDef> sourceDefs;
    for (int i = 0; i < groupCount; ++i)
        sourceDefs.push_back(columns_[groups[i].column].def);
    ds.OnCalcFields = [groupCount, label, sourceDefs](DataSet& d) {
        for (int i = 0; i < groupCount; ++i) {
            const bool total = d.FieldByName(QStringLiteral("T%1").arg(i))->AsInteger() == 1;
            const QVariant v = d.FieldByName(QStringLiteral("G%1").arg(i))->AsVariant();
            d.Fields(i)->SetAsVariant(total ? QVariant(label) : QVariant(displayTextOf(sourceDefs[i], v)));
        }
    };
    ds.SQL = sql;
    ds.Open();
}

} // namespace rek2
