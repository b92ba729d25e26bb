#include "db/field.h"

#include "db/dataset.h"
#include "db/decimal_math.h"
#include "db/error.h"

#include <QLocale>
#include <cmath>

namespace rek2 {

namespace {

QString numberText(double d)
{
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

QDate parseDate(const QString& s)
{
    const QString t = s.trimmed();
    QDate d = QDate::fromString(t.left(10), Qt::ISODate);
    if (!d.isValid())
        d = QDate::fromString(t, QStringLiteral("d.M.yyyy"));
    return d;
}

} // namespace

QString variantToText(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return numberText(v.toDouble());
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime:
        return v.toDateTime().date().toString(QStringLiteral("dd.MM.yyyy"));
    default:
        return v.toString();
    }
}

QString formatNumber(double v, const QString& fmt)
{
    const QString section = fmt.section(QLatin1Char(';'), 0, 0);
    const int dot = int(section.indexOf(QLatin1Char('.')));
    int decimals = 0;
    if (dot >= 0)
        for (int i = dot + 1;
             i < section.size() && (section[i] == QLatin1Char('0') || section[i] == QLatin1Char('#')); ++i)
            ++decimals;
    const bool grouping = section.contains(QLatin1Char(','));
    const double r = decimalRound(v, decimals);
    QString s = QString::number(std::fabs(r), 'f', decimals);
    QString intPart = s.section(QLatin1Char('.'), 0, 0);
    const QString frac = decimals > 0 ? s.section(QLatin1Char('.'), 1, 1) : QString();
    if (grouping)
        for (int i = int(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(i, QLatin1Char('.'));
    QString out = (r < 0 ? QStringLiteral("-") : QString()) + intPart;
    if (decimals > 0)
        out += QLatin1Char(',') + frac;
    return out;
}

QVariant coerceToFieldType(const QVariant& v, FieldType t)
{
    if (v.isNull() || !v.isValid())
        return QVariant();
    if (v.typeId() == QMetaType::QString && v.toString().isEmpty())
        return QVariant(); // the empty string is NULL
    switch (t) {
    case FieldType::String:
        if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime)
            return variantToText(v);
        if (v.typeId() == QMetaType::Double)
            return numberText(v.toDouble());
        return v.toString();
    case FieldType::Integer:
    case FieldType::Float: {
        double d = 0;
        bool ok = true;
        if (v.typeId() == QMetaType::QString) {
            QString s = v.toString().trimmed();
            d = s.toDouble(&ok);
            if (!ok) {
                // Slovenian form "1.234,56"
                s.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
                d = s.toDouble(&ok);
            }
        } else {
            d = v.toDouble(&ok);
        }
        if (!ok)
            throw DbError(QStringLiteral("'") + v.toString() + QStringLiteral("' is not a valid number"));
        if (t == FieldType::Integer)
            return qlonglong(std::llround(d));
        return d;
    }
    case FieldType::Date: {
        QDate d;
        if (v.typeId() == QMetaType::QDate)
            d = v.toDate();
        else if (v.typeId() == QMetaType::QDateTime)
            d = v.toDateTime().date();
        else
            d = parseDate(v.toString());
        if (!d.isValid())
            throw DbError(QStringLiteral("'") + v.toString() + QStringLiteral("' is not a valid date"));
        return d;
    }
    case FieldType::Variant:
        return v;
    }
    return v;
}

QVariant TField::AsVariant() const
{
    return ds_->currentValue(index_);
}
QString TField::AsString() const
{
    return variantToText(AsVariant());
}

int TField::AsInteger() const
{
    const QVariant v = AsVariant();
    return v.isNull() ? 0 : int(coerceToFieldType(v, FieldType::Integer).toLongLong());
}

double TField::AsFloat() const
{
    const QVariant v = AsVariant();
    return v.isNull() ? 0.0 : coerceToFieldType(v, FieldType::Float).toDouble();
}

QDate TField::AsDate() const
{
    return coerceToFieldType(AsVariant(), FieldType::Date).toDate();
}
QDateTime TField::AsDateTime() const
{
    return AsDate().startOfDay();
}
bool TField::IsNull() const
{
    return AsVariant().isNull();
}

QString TField::DisplayText() const
{
    return displayTextOf(def_, AsVariant());
}

QString displayTextOf(const FieldDef& def_, const QVariant& v)
{
    if (v.isNull())
        return QString();
    if (!def_.displayFormat.isEmpty() && (def_.type == FieldType::Float || def_.type == FieldType::Integer))
        return formatNumber(v.toDouble(), def_.displayFormat);
    if (def_.type == FieldType::Float || v.typeId() == QMetaType::Double)
        return variantToText(v).replace(QLatin1Char('.'), QLatin1Char(','));
    return variantToText(v);
}

void TField::SetAsVariant(const QVariant& v)
{
    ds_->setCurrentValue(index_, v);
}

} // namespace rek2
