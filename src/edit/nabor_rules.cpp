#include "edit/nabor_rules.h"

namespace rek2 {

bool isFreeSummary(const QString& dursIdDok, const QString& correctionForDocument,
                   const QString& correctionForAnalyticalData)
{
    return dursIdDok.trimmed().isEmpty() && correctionForDocument.trimmed().isEmpty() &&
           correctionForAnalyticalData.trimmed().isEmpty();
}

QString deleteAnalyticQuestion()
{
    return QStringLiteral("Prosim potrdi brisanje analitike?");
}

QString deleteSummaryQuestion(const QDate& datumIzp, const QString& sfvp, int stkpn)
{
    return QStringLiteral("Prosim potrdi brisanje zbirnega zapisa na dan: ") +
           datumIzp.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" za VP:") + sfvp +
           QStringLiteral(" Kupon:") + QString::number(stkpn) + QStringLiteral("\r\n") +
           QStringLiteral(" in vseh pripadajočih analitičnih zapisov?");
}

QString okCaption()
{
    return QStringLiteral("V redu");
}

QString cancelCaption()
{
    return QStringLiteral("Preklic");
}

} // namespace rek2
