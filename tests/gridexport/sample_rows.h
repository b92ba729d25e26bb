#pragma once
#include "db/dataset.h"
#include "db/local_database.h"
#include "gridexport/columns.h"

#include <QDate>
#include <QVariant>
#include <QVector>

namespace rek2::test {

// A small dataset in a memory database: ID, NAZIV (text of 30), ZNESEK
// (amount shown "#,##0.00"), DATUM; rows given by the test.
struct SampleRows
{
    LocalDatabase db;
    DataSet ds{QStringLiteral("odsSample")};
    QString table;

    explicit SampleRows(const QVector<QVector<QVariant>>& rows)
    {
        table = db.createTable(QStringLiteral("SAMPLE"), {{QStringLiteral("ID"), FieldType::Integer},
                                                          {QStringLiteral("NAZIV"), FieldType::String},
                                                          {QStringLiteral("ZNESEK"), FieldType::Float},
                                                          {QStringLiteral("DATUM"), FieldType::Date}});
        auto add = db.appender(table, 4);
        for (const QVector<QVariant>& r : rows)
            add->append(r.constData());
        add->commit();
        ds.SetSession(&db.session());
        ds.SQL = QStringList{QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY ID")};
        FieldDef id{QStringLiteral("ID"), FieldType::Integer};
        id.displayLabel = QStringLiteral("Šifra");
        FieldDef naziv{QStringLiteral("NAZIV"), FieldType::String, 30};
        naziv.displayLabel = QStringLiteral("Naziv prejemnika");
        FieldDef znesek{QStringLiteral("ZNESEK"), FieldType::Float};
        znesek.displayLabel = QStringLiteral("Znesek");
        znesek.displayFormat = QStringLiteral("#,##0.00");
        FieldDef datum{QStringLiteral("DATUM"), FieldType::Date};
        datum.displayLabel = QStringLiteral("Datum");
        for (const FieldDef& d : {id, naziv, znesek, datum})
            ds.AddField(d);
        ds.Open();
    }
    ~SampleRows() { ds.Close(); }

    QVector<GridColumn> columns() const { return visibleColumns(ds); }
};

} // namespace rek2::test
