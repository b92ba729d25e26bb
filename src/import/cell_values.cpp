#include "import/cell_values.h"

#include <QRegularExpression>
#include <cmath>

namespace rek2::importxls {

namespace {
bool isEmpty(const QVariant& v)
{
    return !v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}
} // namespace

QString cellText(const QVariant& value)
{
    if (isEmpty(value))
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::Double: {
        const double v = value.toDouble();
        if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e15)
            return QString::number(static_cast<qint64>(v));
        return QString::number(v, 'g', 15);
    }
    default:
        return value.toString();
    }
}

bool toWholeNumber(const QVariant& value, qint64& out)
{
    if (isEmpty(value)) {
        out = 0;
        return true;
    }
    switch (value.typeId()) {
    case QMetaType::Double: {
        const double v = value.toDouble();
        if (!std::isfinite(v) || v != std::trunc(v) || std::fabs(v) > 2147483647.0)
            return false;
        out = static_cast<qint64>(v);
        return true;
    }
    case QMetaType::QString: {
        static const QRegularExpression digits(QStringLiteral("^[+-]?\\d{1,10}$"));
        const QString t = value.toString().trimmed();
        if (!digits.match(t).hasMatch())
            return false;
        const qint64 v = t.toLongLong();
        if (v > 2147483647LL || v < -2147483647LL)
            return false;
        out = v;
        return true;
    }
    default:
        return false;
    }
}

bool parseAmountText(const QString& text, double& out)
{
    // Plain and Slovenian forms, with or without thousands groups. A single
    // separator followed by exactly three digits after one to three leading
    // digits (1.234, 12,500) could be either and is refused.
    static const QRegularExpression plain(QStringLiteral("^[+-]?\\d+([.,]\\d+)?$"));
    static const QRegularExpression slovenian(QStringLiteral("^[+-]?\\d{1,3}(\\.\\d{3})+(,\\d+)?$"));
    static const QRegularExpression english(QStringLiteral("^[+-]?\\d{1,3}(,\\d{3})+(\\.\\d+)?$"));
    static const QRegularExpression ambiguous(QStringLiteral("^[+-]?[1-9]\\d{0,2}[.,]\\d{3}$"));
    const QString t = text.trimmed();
    QString normal;
    if (ambiguous.match(t).hasMatch())
        return false;
    if (plain.match(t).hasMatch())
        normal = QString(t).replace(u',', u'.');
    else if (slovenian.match(t).hasMatch())
        normal = QString(t).remove(u'.').replace(u',', u'.');
    else if (english.match(t).hasMatch())
        normal = QString(t).remove(u',');
    else
        return false;
    bool ok = false;
    out = normal.toDouble(&ok);
    return ok && std::isfinite(out);
}

bool toAmount(const QVariant& value, std::optional<double>& out)
{
    if (isEmpty(value)) {
        out.reset();
        return true;
    }
    if (value.typeId() == QMetaType::Double) {
        out = value.toDouble();
        return std::isfinite(*out);
    }
    if (value.typeId() == QMetaType::QString) {
        double v = 0;
        if (!parseAmountText(value.toString(), v))
            return false;
        out = v;
        return true;
    }
    return false;
}

bool toDate(const QVariant& value, std::optional<QDate>& out)
{
    if (isEmpty(value)) {
        out.reset();
        return true;
    }
    if (value.typeId() == QMetaType::QDate) {
        out = value.toDate();
        return out->isValid();
    }
    if (value.typeId() == QMetaType::QString) {
        const QString t = value.toString().trimmed();
        QDate d = QDate::fromString(t, QStringLiteral("d.M.yyyy"));
        if (!d.isValid())
            d = QDate::fromString(t, Qt::ISODate);
        if (!d.isValid())
            return false;
        out = d;
        return true;
    }
    return false;
}

} // namespace rek2::importxls
