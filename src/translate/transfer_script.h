#pragma once
#include <QString>
#include <QStringList>

namespace rek2 {

class Session;

// The transfer manager's commands for another workstation: "TRANSFER
// TRANSLATIONS" writes an SQL script of the forms' rows (default
// "Translations.sql") and registers it in section "IMPORT"/"FILES" of
// "QuorTranslation.ini" in `folder`; "DELETE TRANSLATIONS" sets the form's
// entry (or "ALL") of section "DELETE". Start-up there runs them.
struct TransferRequest
{
    bool deleteTranslations = false; // else transfer
    bool allForms = false;           // else only `formName`
    QString formName;
    QString programName;
    QString scriptName = QStringLiteral("Translations.sql");
    QString folder; // where the script and QuorTranslation.ini go
};

// The script of the rows of `forms` (every language), in the form the
// start-up import reads: one statement per line ending in ";". It replaces
// the forms' rows on the target, taking keys free there.
QString transferScript(Session& session, const QStringList& forms, const QString& programName);

// Carries out the request; false with a Slovenian message in `error`.
// Throws DbError when the rows cannot be read.
bool writeTransfer(Session& session, const TransferRequest& request, QString* error);

} // namespace rek2
