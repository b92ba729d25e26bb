#include "translate/transfer_script.h"

#include "base/inifile.h"
#include "base/system_errors.h"
#include "db/dataset.h"
#include "db/session.h"
#include "translate/translation_store.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

namespace rek2 {

namespace {

// A text literal. A script statement is one line, so a line break in a text
// becomes a blank.
QString literal(const QString& value)
{
    if (value.isEmpty())
        return QStringLiteral("NULL");
    QString v = value;
    v.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    v.replace(u'\'', QLatin1String("''"));
    return u'\'' + v + u'\'';
}

QString formMatch(const QString& alias, const QString& form, const QString& program)
{
    const QString p = alias.isEmpty() ? QString() : alias + u'.';
    return QStringLiteral("UPPER(RTRIM(%1FORMNAME)) = %2 AND NVL(UPPER(RTRIM(%1PROGRAMNAME)), ' ') = %3")
        .arg(p, literal(form.trimmed().toUpper()),
             program.trimmed().isEmpty() ? QStringLiteral("' '") : literal(program.trimmed().toUpper()));
}

} // namespace

QString transferScript(Session& session, const QStringList& forms, const QString& programName)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    QStringList out;
    out << QStringLiteral("-- Translations of %1 form(s), written %2").arg(forms.size()).arg(stamp);
    QSet<QString> languages;
    for (const QString& form : forms) {
        DataSet d;
        d.SetSession(&session);
        d.SQL << QStringLiteral(
            "SELECT O.NAME, O.ORGTEXT, D.TRANSLTEXT, D.TRANSLATED, D.KODA_JEZIKA FROM PREVOD_FORME F "
            "JOIN PREVOD_ORG O ON O.ID_PREVODA = F.ID_PREVODA LEFT JOIN PREVOD_DATA D ON D.ID_PREVOD_ORG = "
            "O.ID_PREVOD_ORG WHERE UPPER(RTRIM(F.FORMNAME)) = UPPER(RTRIM(:FORMNAME)) AND "
            "NVL(UPPER(RTRIM(F.PROGRAMNAME)), ' ') = NVL(UPPER(RTRIM(:PROGRAMNAME)), ' ') "
            "ORDER BY O.NAME, D.KODA_JEZIKA");
        d.DeclareAndSet(QStringLiteral("FORMNAME"), VarType::String, form);
        d.DeclareAndSet(QStringLiteral("PROGRAMNAME"), VarType::String, programName);
        d.Open();

        const QString ids = QStringLiteral("(SELECT ID_PREVODA FROM PREVOD_FORME WHERE %1)")
                                .arg(formMatch(QString(), form, programName));
        out << QString() << QStringLiteral("-- ") + form;
        out << QStringLiteral("DELETE FROM PREVOD_DATA WHERE ID_PREVODA IN %1;").arg(ids);
        out << QStringLiteral("DELETE FROM PREVOD_ORG WHERE ID_PREVODA IN %1;").arg(ids);
        out << QStringLiteral("DELETE FROM PREVOD_FORME WHERE %1;")
                   .arg(formMatch(QString(), form, programName));
        out << QStringLiteral(
                   "INSERT INTO PREVOD_FORME (ID_PREVODA, FORMNAME, PROGRAMNAME, DT_CHANGE) SELECT "
                   "NVL(MAX(ID_PREVODA), 0) + 1, %1, %2, %3 FROM PREVOD_FORME;")
                   .arg(literal(form), literal(programName), literal(stamp));
        QString lastName;
        for (int r = 0; r < d.RecordCount(); ++r) {
            const QString name = d.Value(r, 0).toString();
            if (name != lastName) {
                out << QStringLiteral(
                           "INSERT INTO PREVOD_ORG (ID_PREVODA, ID_PREVOD_ORG, NAME, ORGTEXT) SELECT "
                           "F.ID_PREVODA, (SELECT NVL(MAX(ID_PREVOD_ORG), 0) + 1 FROM PREVOD_ORG), "
                           "%1, %2 FROM PREVOD_FORME F WHERE %3;")
                           .arg(literal(name), literal(d.Value(r, 1).toString()),
                                formMatch(QStringLiteral("F"), form, programName));
                lastName = name;
            }
            const QString language = d.Value(r, 4).toString();
            if (language.isEmpty())
                continue;
            languages.insert(language);
            out << QStringLiteral("INSERT INTO PREVOD_DATA (ID_PREVODA, ID_PREVOD_ORG, ID_PREVOD_DATA, NAME, "
                                  "TRANSLTEXT, "
                                  "TRANSLATED, KODA_JEZIKA) SELECT O.ID_PREVODA, O.ID_PREVOD_ORG, (SELECT "
                                  "NVL(MAX(ID_PREVOD_DATA), 0) + 1 FROM PREVOD_DATA), O.NAME, %1, %2, %3 "
                                  "FROM PREVOD_ORG O, "
                                  "PREVOD_FORME F WHERE O.ID_PREVODA = F.ID_PREVODA AND %4 AND O.NAME = %5;")
                       .arg(literal(d.Value(r, 2).toString()), literal(d.Value(r, 3).toString()),
                            literal(language), formMatch(QStringLiteral("F"), form, programName),
                            literal(name));
        }
    }
    if (!languages.isEmpty()) {
        out << QString() << QStringLiteral("-- Languages");
        for (const translation_store::Language& l : translation_store::languages(session)) {
            if (!languages.contains(l.code))
                continue;
            out << QStringLiteral("DELETE FROM PREVOD_JEZIKI WHERE KODA_JEZIKA = %1;").arg(literal(l.code));
            out << QStringLiteral("INSERT INTO PREVOD_JEZIKI (KODA_JEZIKA, OPIS) VALUES (%1, %2);")
                       .arg(literal(l.code), literal(l.description));
        }
    }
    return out.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

bool writeTransfer(Session& session, const TransferRequest& request, QString* error)
{
    QDir folder(request.folder);
    if (!folder.exists()) {
        if (error)
            *error = QStringLiteral("Mapa %1 ne obstaja.").arg(request.folder);
        return false;
    }
    IniFile ini(folder.filePath(QStringLiteral("QuorTranslation.ini")));
    if (request.deleteTranslations) {
        const QString entry = request.allForms ? QStringLiteral("ALL") : request.formName;
        return ini.writeValue(QStringLiteral("DELETE"), entry, QStringLiteral("1"), error);
    }
    QStringList forms;
    if (request.allForms) {
        for (const auto& f : translation_store::forms(session, request.programName))
            forms << f.formName;
    } else {
        forms << request.formName;
    }
    const QString script = transferScript(session, forms, request.programName);
    const QString scriptPath = folder.filePath(request.scriptName);
    QSaveFile f(scriptPath);
    const QByteArray bytes = script.toUtf8();
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error)
            *error = QStringLiteral("Datoteke %1 ni mogoče zapisati: %2")
                         .arg(scriptPath, fileErrorReason(f.errorString()));
        return false;
    }
    const QString entry = QFileInfo(request.scriptName).completeBaseName();
    return ini.writeValue(QStringLiteral("FILES"), entry, request.scriptName, error) &&
           ini.writeValue(QStringLiteral("IMPORT"), entry, QStringLiteral("1"), error);
}

} // namespace rek2
