#pragma once
#include <QDate>
#include <QString>

namespace rek2 {

// Texts and decisions of the collection tab's actions that need no database.

// A summary may be deleted only while it refers to no submitted document:
// its document number and both references are null or blank.
bool isFreeSummary(const QString& dursIdDok, const QString& correctionForDocument,
                   const QString& correctionForAnalyticalData);

QString deleteAnalyticQuestion();
QString deleteSummaryQuestion(const QDate& datumIzp, const QString& sfvp, int stkpn);

// The confirmation buttons of both delete actions.
QString okCaption();
QString cancelCaption();

} // namespace rek2
