#include "edit/row_checks.h"

#include <array>
#include <optional>

namespace rek2 {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");

// The income type as a whole number: leading blanks and a sign are allowed,
// anything else that is not a decimal digit makes it unreadable.
std::optional<int> readWholeNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool ok = false;
    const QStringView rest = QStringView(text).mid(i);
    if (rest.isEmpty() || rest.front().isSpace() || rest.back().isSpace())
        return std::nullopt;
    const int value = rest.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

// The code each known income type goes with; empty for an unknown type.
QString codeOfIncomeType(int type)
{
    switch (type) {
    case 1901:
    case 1904:
    case 1905:
        return QStringLiteral("5400");
    case 1902:
        return QStringLiteral("5600");
    case 1903:
        return QStringLiteral("5500");
    case 1920:
    case 1921:
        return QStringLiteral("5700");
    default:
        return QString();
    }
}

bool isKnownCode(const QString& code)
{
    static const std::array<QString, 4> codes = {QStringLiteral("5400"), QStringLiteral("5500"),
                                                 QStringLiteral("5600"), QStringLiteral("5700")};
    for (const auto& c : codes)
        if (c == code)
            return true;
    return false;
}

class Findings
{
public:
    explicit Findings(int id) : id_(id) {}
    void add(const QString& own)
    {
        text_ += kLineBreak + QStringLiteral("Za ID:") + QString::number(id_) + own;
    }
    QString& text() { return text_; }

private:
    int id_;
    QString text_;
};

} // namespace

bool benefitCellPasses(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return false;
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString() == QLatin1String("0") || value.toString() == QLatin1String("1");
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const double v = value.toDouble();
        return v == 0.0 || v == 1.0;
    }
    default:
        return false;
    }
}

RowFindings checkAnalyticRow(const AnalyticRow& row, const BenefitCell* cell)
{
    Findings f(row.ID_REK2_ANAL);
    RowFindings result;

    if (row.DVS.isEmpty() && row.IDENT_ST.isEmpty())
        f.add(QStringLiteral(" manjka davčna ali identifikacijska številka!"));
    if (row.REZ == QLatin1String("N") && row.DRZ.isEmpty())
        f.add(QStringLiteral(" manjka država za nerezidenta!"));

    const std::optional<int> type = readWholeNumber(row.SIF_VRSTE_DOH);
    if (!type) {
        result.text = f.text();
        result.error =
            QStringLiteral("Vrsta dohodka \"") + row.SIF_VRSTE_DOH + QStringLiteral("\" ni celo število!");
        return result;
    }
    const QString typeText = QString::number(*type);
    const QString typeCode = codeOfIncomeType(*type);
    const bool knownCode = isKnownCode(row.SIF_SFDOH);

    if (typeCode.isEmpty())
        f.add(QStringLiteral(" neobstoječa vrsta dohodka ") + typeText + QStringLiteral("!"));
    if (!knownCode)
        f.add(QStringLiteral(" neobstoječa oznaka vrste dohodka ") + row.SIF_SFDOH + QStringLiteral(" !"));
    // A known type must carry its own code, and a known code one of its own
    // types; a pair of two unknowns is left to the two checks above.
    const bool pairBroken = typeCode.isEmpty() ? knownCode : typeCode != row.SIF_SFDOH;
    if (pairBroken)
        f.add(QStringLiteral(" napačna kombinacija vrste dohodka ") + typeText +
              QStringLiteral(" in oznake vrste dohodka ") + row.SIF_SFDOH + QStringLiteral(" !"));

    if (cell && !benefitCellPasses(cell->value))
        f.add(QStringLiteral(" napačna vrednost podatka uveljavanje ugodnosti ") + cell->text +
              QStringLiteral(" pravilna je 0 ali 1!"));
    if (row.UGO_MED_POG != QLatin1String("0") && row.UGO_MED_POG != QLatin1String("1"))
        f.add(QStringLiteral(" napačna vrednost podatka uveljavanje ugodnosti ") + row.UGO_MED_POG +
              QStringLiteral(" pravilna je 0 ali 1!"));
    if (row.REZ != QLatin1String("R") && row.REZ != QLatin1String("N"))
        f.add(QStringLiteral(" napačna vrednost podatka Rezidentstvo ") + row.REZ +
              QStringLiteral(" pravilno je R ali N!"));

    if (row.DAV_ODT_PLC > row.DAV_ODT_OBR)
        f.add(QStringLiteral(" plačani davčni odtegljaj je večji od obračunanega!"));
    const long double taxes = static_cast<long double>(row.DAV_ODT_OBR) + row.DAV_ODT_ODB_TUJ;
    if (taxes > static_cast<long double>(row.BRUTO))
        f.add(QStringLiteral(" premajhna bruto dividenda glede na davčni odtegljaj!"));
    if (row.BRUTO < 0)
        f.add(QStringLiteral(" bruto dividenda negativna!"));
    if (row.DAV_ODT_OBR < 0)
        f.add(QStringLiteral(" davčni odtegljaj obračun negativen!"));
    if (row.DAV_ODT_PLC < 0)
        f.add(QStringLiteral(" davčni odtegljaj plačan negativen!"));
    if (row.DAV_ODT_ODB_TUJ < 0)
        f.add(QStringLiteral(" odbitek davka plačanega v tujini je negativen!"));

    result.text = f.text();
    return result;
}

QString editorFindings(const AnalyticRow& row)
{
    RowFindings r = checkAnalyticRow(row);
    if (r.stopped())
        r.text += kLineBreak + QStringLiteral("Niso nafilani vsi podatki!");
    return r.text;
}

} // namespace rek2
