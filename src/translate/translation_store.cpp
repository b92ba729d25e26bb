#include "translate/translation_store.h"

#include "db/dataset.h"
#include "db/query.h"
#include "db/session.h"
#include "db/transaction.h"
#include "translate/translation_database.h"

#include <QDateTime>
#include <QMap>
#include <initializer_list>
#include <utility>

namespace rek2::translation_store {

namespace {

using Binds = std::initializer_list<std::pair<const char*, QVariant>>;

void bindAll(Statement& st, Binds binds)
{
    for (const auto& [name, value] : binds)
        st.DeclareAndSet(QString::fromLatin1(name), VarType::String, value);
}

// Runs a statement that returns at most one row we care about.
std::unique_ptr<Query> run(Session& s, const QString& sql, Binds binds = {})
{
    auto q = std::make_unique<Query>();
    q->SetSession(&s);
    q->SQL << sql;
    bindAll(*q, binds);
    q->Execute();
    return q;
}

std::unique_ptr<DataSet> select(Session& s, const QString& sql, Binds binds = {})
{
    auto d = std::make_unique<DataSet>();
    d->SetSession(&s);
    d->SQL << sql;
    bindAll(*d, binds);
    d->Open();
    return d;
}

QString text(const DataSet& d, int row, const char* column)
{
    return d.Value(row, d.FieldIndex(QString::fromLatin1(column))).toString();
}

// A transaction of its own unless the caller already holds one.
class WriteScope
{
public:
    explicit WriteScope(Session& s)
    {
        if (!s.InTransaction())
            tx_.emplace(s);
    }
    void commit()
    {
        if (tx_)
            tx_->commit();
    }

private:
    std::optional<Transaction> tx_;
};

const QString kFormMatch =
    QStringLiteral("UPPER(RTRIM(FORMNAME)) = UPPER(RTRIM(:FORMNAME)) AND "
                   "NVL(UPPER(RTRIM(PROGRAMNAME)), ' ') = NVL(UPPER(RTRIM(:PROGRAMNAME)), ' ')");

QString orgKey(Session& s, const QString& formId, const QString& key)
{
    auto q =
        run(s, QStringLiteral("SELECT ID_PREVOD_ORG FROM PREVOD_ORG WHERE ID_PREVODA = :ID AND NAME = :NAME"),
            {{"ID", formId}, {"NAME", key}});
    return q->RowCount() ? q->FieldAsString(0) : QString();
}

QString ensureOrg(Session& s, const QString& formId, const QString& key, const QString& original)
{
    QString org = orgKey(s, formId, key);
    if (!org.isEmpty())
        return org;
    org = TranslationDatabase::nextKey(s, QStringLiteral("PREVOD_ORG"));
    run(s,
        QStringLiteral("INSERT INTO PREVOD_ORG (ID_PREVODA, ID_PREVOD_ORG, NAME, ORGTEXT) "
                       "VALUES (:ID, :ORG, :NAME, :ORGTEXT)"),
        {{"ID", formId}, {"ORG", org}, {"NAME", key}, {"ORGTEXT", original}});
    return org;
}

} // namespace

QString changeTime(const QString& previous)
{
    QDateTime now = QDateTime::currentDateTime();
    QString t = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    while (t == previous) {
        now = now.addMSecs(1);
        t = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    }
    return t;
}

std::optional<FormRow> findForm(Session& s, const QString& formName, const QString& programName)
{
    auto q = run(s,
                 QStringLiteral("SELECT ID_PREVODA, DT_CHANGE FROM PREVOD_FORME WHERE ") + kFormMatch +
                     QStringLiteral(" ORDER BY ID_PREVODA"),
                 {{"FORMNAME", formName}, {"PROGRAMNAME", programName}});
    if (!q->RowCount())
        return std::nullopt;
    return FormRow{q->FieldAsString(0), q->FieldAsString(1)};
}

FormRow insertForm(Session& s, const QString& formName, const QString& programName)
{
    WriteScope w(s);
    FormRow row{TranslationDatabase::nextKey(s, QStringLiteral("PREVOD_FORME")), changeTime()};
    run(s,
        QStringLiteral("INSERT INTO PREVOD_FORME (ID_PREVODA, FORMNAME, PROGRAMNAME, DT_CHANGE) "
                       "VALUES (:ID, :FORMNAME, :PROGRAMNAME, :DT)"),
        {{"ID", row.id}, {"FORMNAME", formName}, {"PROGRAMNAME", programName}, {"DT", row.dtChange}});
    w.commit();
    return row;
}

QString touchForm(Session& s, const QString& formId)
{
    auto q =
        run(s, QStringLiteral("SELECT DT_CHANGE FROM PREVOD_FORME WHERE ID_PREVODA = :ID"), {{"ID", formId}});
    const QString now = changeTime(q->RowCount() ? q->FieldAsString(0) : QString());
    run(s, QStringLiteral("UPDATE PREVOD_FORME SET DT_CHANGE = :DT WHERE ID_PREVODA = :ID"),
        {{"DT", now}, {"ID", formId}});
    return now;
}

FormTexts loadFormTexts(Session& s, const QString& formId, const QString& language)
{
    auto d = select(s,
                    QStringLiteral("SELECT O.NAME, D.TRANSLTEXT, D.TRANSLATED, D.ID_PREVOD_DATA "
                                   "FROM PREVOD_ORG O LEFT JOIN PREVOD_DATA D ON D.ID_PREVOD_ORG = "
                                   "O.ID_PREVOD_ORG AND D.KODA_JEZIKA = :JEZIK WHERE O.ID_PREVODA = :ID"),
                    {{"JEZIK", language}, {"ID", formId}});
    FormTexts out;
    for (int r = 0; r < d->RecordCount(); ++r) {
        const QString name = text(*d, r, "NAME");
        out.originals.insert(name);
        if (!text(*d, r, "ID_PREVOD_DATA").isEmpty())
            out.withData.insert(name);
        const QString translation = text(*d, r, "TRANSLTEXT");
        if (text(*d, r, "TRANSLATED") == QLatin1String("Y") && !translation.isEmpty())
            out.translated.insert(name, translation);
    }
    return out;
}

QString lookupTranslation(Session& s, const QString& formId, const QString& key, const QString& language)
{
    auto q = run(s,
                 QStringLiteral("SELECT TRANSLTEXT FROM PREVOD_DATA WHERE ID_PREVODA = :ID AND NAME = :NAME "
                                "AND KODA_JEZIKA = :JEZIK AND TRANSLATED = 'Y' ORDER BY ID_PREVOD_DATA"),
                 {{"ID", formId}, {"NAME", key}, {"JEZIK", language}});
    return q->RowCount() ? q->FieldAsString(0) : QString();
}

bool hasDataRow(Session& s, const QString& formId, const QString& key, const QString& language)
{
    auto q =
        run(s,
            QStringLiteral("SELECT COUNT(*) FROM PREVOD_DATA WHERE ID_PREVODA = :ID AND NAME = :NAME AND "
                           "KODA_JEZIKA = :JEZIK"),
            {{"ID", formId}, {"NAME", key}, {"JEZIK", language}});
    return q->FieldAsInteger(0) > 0;
}

void recordOriginal(Session& s, const QString& formId, const QString& key, const QString& original,
                    const QString& language)
{
    WriteScope w(s);
    if (hasDataRow(s, formId, key, language))
        return;
    const QString org = ensureOrg(s, formId, key, original);
    run(s,
        QStringLiteral(
            "INSERT INTO PREVOD_DATA (ID_PREVODA, ID_PREVOD_ORG, ID_PREVOD_DATA, NAME, TRANSLTEXT, "
            "TRANSLATED, KODA_JEZIKA) VALUES (:ID, :ORG, :DATA, :NAME, :TEXT, 'N', :JEZIK)"),
        {{"ID", formId},
         {"ORG", org},
         {"DATA", TranslationDatabase::nextKey(s, QStringLiteral("PREVOD_DATA"))},
         {"NAME", key},
         {"TEXT", original},
         {"JEZIK", language}});
    touchForm(s, formId);
    w.commit();
}

void saveTranslation(Session& s, const QString& formId, const QString& key, const QString& original,
                     const QString& language, const QString& text)
{
    WriteScope w(s);
    const QString org = ensureOrg(s, formId, key, original);
    auto q =
        run(s,
            QStringLiteral("UPDATE PREVOD_DATA SET TRANSLTEXT = :TEXT, TRANSLATED = 'Y' WHERE ID_PREVODA = "
                           ":ID AND NAME = :NAME AND KODA_JEZIKA = :JEZIK"),
            {{"TEXT", text}, {"ID", formId}, {"NAME", key}, {"JEZIK", language}});
    if (q->RowsProcessed() == 0) {
        run(s,
            QStringLiteral(
                "INSERT INTO PREVOD_DATA (ID_PREVODA, ID_PREVOD_ORG, ID_PREVOD_DATA, NAME, TRANSLTEXT, "
                "TRANSLATED, KODA_JEZIKA) VALUES (:ID, :ORG, :DATA, :NAME, :TEXT, 'Y', :JEZIK)"),
            {{"ID", formId},
             {"ORG", org},
             {"DATA", TranslationDatabase::nextKey(s, QStringLiteral("PREVOD_DATA"))},
             {"NAME", key},
             {"TEXT", text},
             {"JEZIK", language}});
    }
    touchForm(s, formId);
    w.commit();
}

void clearTranslation(Session& s, const QString& formId, const QString& key, const QString& language)
{
    WriteScope w(s);
    run(s,
        QStringLiteral(
            "UPDATE PREVOD_DATA SET TRANSLATED = 'N', TRANSLTEXT = (SELECT O.ORGTEXT FROM PREVOD_ORG O "
            "WHERE O.ID_PREVOD_ORG = PREVOD_DATA.ID_PREVOD_ORG) WHERE ID_PREVODA = :ID AND NAME = "
            ":NAME AND KODA_JEZIKA = :JEZIK"),
        {{"ID", formId}, {"NAME", key}, {"JEZIK", language}});
    touchForm(s, formId);
    w.commit();
}

void deleteTitle(Session& s, const QString& formId)
{
    WriteScope w(s);
    run(s, QStringLiteral("DELETE FROM PREVOD_DATA WHERE ID_PREVODA = :ID AND NAME = 'Title'"),
        {{"ID", formId}});
    touchForm(s, formId);
    w.commit();
}

QStringList suggestions(Session& s, const QString& original, const QString& language)
{
    auto d =
        select(s,
               QStringLiteral("SELECT D.TRANSLTEXT, COUNT(*) AS N FROM PREVOD_DATA D, PREVOD_ORG O WHERE "
                              "O.ID_PREVOD_ORG = D.ID_PREVOD_ORG AND O.ORGTEXT = :ORGTEXT AND "
                              "D.KODA_JEZIKA = :JEZIK AND D.TRANSLATED = 'Y' GROUP BY D.TRANSLTEXT "
                              "ORDER BY 2 DESC, 1"),
               {{"ORGTEXT", original}, {"JEZIK", language}});
    QStringList out;
    for (int r = 0; r < d->RecordCount(); ++r)
        out << text(*d, r, "TRANSLTEXT");
    return out;
}

QList<TextRow> formTextRows(Session& s, const QString& formId, const QString& language, bool translated)
{
    auto d = select(s,
                    QStringLiteral("SELECT O.NAME, O.ORGTEXT, D.TRANSLTEXT, D.TRANSLATED FROM PREVOD_ORG O "
                                   "LEFT JOIN PREVOD_DATA D ON D.ID_PREVOD_ORG = O.ID_PREVOD_ORG AND "
                                   "D.KODA_JEZIKA = :JEZIK WHERE O.ID_PREVODA = :ID ORDER BY O.NAME"),
                    {{"JEZIK", language}, {"ID", formId}});
    QList<TextRow> out;
    for (int r = 0; r < d->RecordCount(); ++r) {
        TextRow row{text(*d, r, "NAME"), text(*d, r, "ORGTEXT"), text(*d, r, "TRANSLTEXT"),
                    text(*d, r, "TRANSLATED") == QLatin1String("Y")};
        if (row.translated == translated)
            out << row;
    }
    return out;
}

QList<Language> languages(Session& s)
{
    auto d = select(s, QStringLiteral("SELECT KODA_JEZIKA, OPIS FROM PREVOD_JEZIKI ORDER BY KODA_JEZIKA"));
    QList<Language> out;
    for (int r = 0; r < d->RecordCount(); ++r)
        out << Language{text(*d, r, "KODA_JEZIKA"), text(*d, r, "OPIS")};
    return out;
}

QString languageDescription(Session& s, const QString& code)
{
    auto q = run(s, QStringLiteral("SELECT OPIS FROM PREVOD_JEZIKI WHERE KODA_JEZIKA = :JEZIK"),
                 {{"JEZIK", code}});
    return q->RowCount() ? q->FieldAsString(0) : QString();
}

void insertLanguage(Session& s, const QString& code, const QString& description)
{
    WriteScope w(s);
    run(s, QStringLiteral("INSERT INTO PREVOD_JEZIKI (KODA_JEZIKA, OPIS) VALUES (:JEZIK, :OPIS)"),
        {{"JEZIK", code}, {"OPIS", description}});
    w.commit();
}

void updateLanguage(Session& s, const QString& code, const QString& description)
{
    WriteScope w(s);
    run(s, QStringLiteral("UPDATE PREVOD_JEZIKI SET OPIS = :OPIS WHERE KODA_JEZIKA = :JEZIK"),
        {{"OPIS", description}, {"JEZIK", code}});
    w.commit();
}

QList<FormName> forms(Session& s, const QString& programName)
{
    auto d =
        select(s,
               QStringLiteral("SELECT FORMNAME, PROGRAMNAME FROM PREVOD_FORME WHERE NVL(UPPER(RTRIM("
                              "PROGRAMNAME)), ' ') = NVL(UPPER(RTRIM(:PROGRAMNAME)), ' ') ORDER BY FORMNAME"),
               {{"PROGRAMNAME", programName}});
    QList<FormName> out;
    for (int r = 0; r < d->RecordCount(); ++r)
        out << FormName{text(*d, r, "FORMNAME"), text(*d, r, "PROGRAMNAME")};
    return out;
}

int deleteForm(Session& s, const QString& programName, const QString& formName)
{
    WriteScope w(s);
    const QString ids = QStringLiteral("(SELECT ID_PREVODA FROM PREVOD_FORME WHERE ") + kFormMatch + u')';
    const Binds binds = {{"FORMNAME", formName}, {"PROGRAMNAME", programName}};
    run(s, QStringLiteral("DELETE FROM PREVOD_DATA WHERE ID_PREVODA IN ") + ids, binds);
    run(s, QStringLiteral("DELETE FROM PREVOD_ORG WHERE ID_PREVODA IN ") + ids, binds);
    auto q = run(s, QStringLiteral("DELETE FROM PREVOD_FORME WHERE ") + kFormMatch, binds);
    w.commit();
    return q->RowsProcessed();
}

void deleteAll(Session& s)
{
    WriteScope w(s);
    run(s, QStringLiteral("DELETE FROM PREVOD_DATA"));
    run(s, QStringLiteral("DELETE FROM PREVOD_ORG"));
    run(s, QStringLiteral("DELETE FROM PREVOD_FORME"));
    w.commit();
}

} // namespace rek2::translation_store
