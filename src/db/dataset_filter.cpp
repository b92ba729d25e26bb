#include "db/dataset_filter.h"

#include "db/error.h"

#include <QRegularExpression>

namespace rek2 {

DataSetFilter DataSetFilter::parse(const QString& text)
{
    DataSetFilter f;
    if (text.trimmed().isEmpty())
        return f;
    static const QRegularExpression re(
        QStringLiteral(
            R"(^\s*\[?([A-Za-z_][\w$#]*)\]?\s*(=|<>|!=|<=|>=|<|>)\s*('(?:[^']|'')*'|[-+]?\d+(?:\.\d+)?|NULL)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        throw DbError(QStringLiteral("Invalid filter: ") + text);
    f.field_ = m.captured(1);
    f.op_ = m.captured(2) == QLatin1String("!=") ? QStringLiteral("<>") : m.captured(2);
    const QString v = m.captured(3);
    if (v.startsWith(QLatin1Char('\'')))
        f.value_ = v.mid(1, v.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
    else if (v.compare(QLatin1String("NULL"), Qt::CaseInsensitive) != 0)
        f.value_ = v.toDouble();
    return f;
}

namespace {

int compare(const QVariant& v, const QVariant& w, FieldType type, bool* comparable)
{
    *comparable = true;
    if (w.typeId() == QMetaType::Double &&
        (type == FieldType::Integer || type == FieldType::Float || v.typeId() == QMetaType::Double ||
         v.typeId() == QMetaType::LongLong)) {
        const double a = v.toDouble();
        const double b = w.toDouble();
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    if (type == FieldType::Date) {
        try {
            const QDate a = v.toDate();
            const QDate b = coerceToFieldType(w, FieldType::Date).toDate();
            return a < b ? -1 : (a > b ? 1 : 0);
        } catch (const DbError&) {
            *comparable = false;
            return 0;
        }
    }
    return variantToText(v).compare(variantToText(w));
}

} // namespace

bool DataSetFilter::accepts(const QVariant& v, FieldType type) const
{
    if (empty())
        return true;
    if (value_.isNull()) {
        if (op_ == QLatin1String("="))
            return v.isNull();
        if (op_ == QLatin1String("<>"))
            return !v.isNull();
        return false;
    }
    if (v.isNull())
        return false;
    bool ok = true;
    const int c = compare(v, value_, type, &ok);
    if (!ok)
        return false;
    if (op_ == QLatin1String("="))
        return c == 0;
    if (op_ == QLatin1String("<>"))
        return c != 0;
    if (op_ == QLatin1String("<"))
        return c < 0;
    if (op_ == QLatin1String(">"))
        return c > 0;
    if (op_ == QLatin1String("<="))
        return c <= 0;
    return c >= 0;
}

bool DataSetFilter::equalForLocate(const QVariant& v, const QVariant& wanted, FieldType type)
{
    const bool wantedNull =
        wanted.isNull() || (wanted.typeId() == QMetaType::QString && wanted.toString().isEmpty());
    if (v.isNull() || wantedNull)
        return v.isNull() && wantedNull;
    if (type == FieldType::Integer || type == FieldType::Float) {
        bool ok = false;
        const double w = wanted.toDouble(&ok);
        if (ok)
            return v.toDouble() == w;
    }
    if (type == FieldType::Date) {
        try {
            return v.toDate() == coerceToFieldType(wanted, FieldType::Date).toDate();
        } catch (const DbError&) {
            return false;
        }
    }
    return variantToText(v).compare(variantToText(wanted), Qt::CaseInsensitive) == 0;
}

} // namespace rek2
