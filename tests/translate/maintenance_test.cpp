#include "translate/translation_database.h"
#include "translate/translation_maintenance.h"
#include "translate/translation_settings.h"
#include "translate_home.h"

#include "base/inifile.h"

using namespace rek2;
using namespace rek2::test;

namespace {

const QString kIni = QStringLiteral("QuorTranslation.ini");

// Two forms with one text each, in English.
void seedTwoForms(Session& s)
{
    execSql(s, "INSERT INTO PREVOD_FORME (ID_PREVODA, FORMNAME, PROGRAMNAME, DT_CHANGE) VALUES (1, "
               "'fLocate', NULL, 'a')");
    execSql(s, "INSERT INTO PREVOD_FORME (ID_PREVODA, FORMNAME, PROGRAMNAME, DT_CHANGE) VALUES (2, 'fSort ', "
               "NULL, 'a')");
    execSql(s, "INSERT INTO PREVOD_ORG VALUES (1, 10, 'Title', 'Iskanje')");
    execSql(s, "INSERT INTO PREVOD_ORG VALUES (2, 20, 'Title', 'Sort')");
    execSql(s, "INSERT INTO PREVOD_DATA VALUES (1, 10, 100, 'Title', 'Search', 'Y', 'ENG')");
    execSql(s, "INSERT INTO PREVOD_DATA VALUES (2, 20, 200, 'Title', 'Order', 'Y', 'ENG')");
}

int rows(Session& s, const char* table)
{
    return scalarSql(s, QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table)).toInt();
}

} // namespace

TEST(TranslationScript, SplitsStatementsByTheLineRules)
{
    struct Case
    {
        const char* text;
        QList<QStringList> expected;
    } cases[] = {
        {"  INSERT INTO T\r\n  VALUES (1);  \r\n\r\n-- note;\r\nDELETE FROM T;\n",
         {{"INSERT INTO T", "VALUES (1)"}, {"DELETE FROM T"}}},
        // The last line ends the last statement as it is.
        {"UPDATE T SET A = 1;\nUPDATE T SET B = 2", {{"UPDATE T SET A = 1"}, {"UPDATE T SET B = 2"}}},
        // A ";" inside a line does not end a statement.
        {"INSERT INTO T VALUES ('a;b');", {{"INSERT INTO T VALUES ('a;b')"}}},
        {"\n-- only a comment\n\n", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitTranslationScript(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(TranslationMaintenance, DeletesOneFormByTrimmedUpperNameAndSetsTheEntryToZero)
{
    TranslateHome home;
    auto s = home.database();
    seedTwoForms(*s);
    home.write(kIni, QStringLiteral("[DELETE]\r\nFSORT=1\r\nfOther=0\r\n"));

    TranslationDatabase db;
    const MaintenanceOutcome out = runTranslationMaintenance(home.path(kIni), db, QString());

    EXPECT_EQ(out.formsDeleted, 1);
    EXPECT_EQ(rows(*s, "PREVOD_FORME"), 1);
    EXPECT_EQ(scalarSql(*s, "SELECT COUNT(*) FROM PREVOD_DATA WHERE ID_PREVODA = 2").toInt(), 0);
    EXPECT_EQ(scalarSql(*s, "SELECT COUNT(*) FROM PREVOD_ORG WHERE ID_PREVODA = 2").toInt(), 0);
    EXPECT_EQ(IniFile(home.path(kIni)).value("DELETE", "FSORT"), "0");
}

TEST(TranslationMaintenance, DeleteAllEmptiesTheTablesAndClearsEveryEntry)
{
    TranslateHome home;
    auto s = home.database();
    seedTwoForms(*s);
    home.write(kIni, QStringLiteral("[DELETE]\r\nALL=1\r\nfLocate=1\r\n"));

    TranslationDatabase db;
    EXPECT_TRUE(runTranslationMaintenance(home.path(kIni), db, QString()).allDeleted);
    for (const char* t : {"PREVOD_FORME", "PREVOD_ORG", "PREVOD_DATA"})
        EXPECT_EQ(rows(*s, t), 0) << t;
    const IniFile ini(home.path(kIni));
    EXPECT_EQ(ini.value("DELETE", "ALL"), "0");
    // Left at 1 it would delete that form again after the next import.
    EXPECT_EQ(ini.value("DELETE", "fLocate"), "0");
}

TEST(TranslationMaintenance, ImportRunsAScriptOnceAndAFailingScriptChangesNothing)
{
    TranslateHome home;
    auto s = home.database();
    // Windows-1250 INI and script, as files brought from a Windows workstation.
    home.write(kIni,
               QStringLiteral("[IMPORT]\r\nJeziki=1\r\nŠe_enkrat=1\r\nSlabo=1\r\nManjka=1\r\nIzklop=0\r\n"
                              "[FILES]\r\nJeziki=jeziki.sql\r\nŠe_enkrat=jeziki.sql\r\nSlabo=slabo.sql\r\n"
                              "Manjka=ni_je.sql\r\nIzklop=izklop.sql\r\n"),
               true);
    home.write("jeziki.sql",
               QStringLiteral("-- jeziki\r\nINSERT INTO PREVOD_JEZIKI (KODA_JEZIKA, OPIS)\r\n"
                              "  VALUES ('SLO', 'Slovenščina');\r\n"
                              "INSERT INTO PREVOD_JEZIKI VALUES ('ČŠŽ', 'Šumniki')"),
               true);
    home.write("slabo.sql", QStringLiteral("INSERT INTO PREVOD_JEZIKI VALUES ('ENG', 'English');\n"
                                           "INSERT INTO PREVOD_JEZIKI VALUS ('DEU', 'Deutsch');\n"
                                           "INSERT INTO PREVOD_JEZIKI VALUES ('ITA', 'Italiano');\n"));
    home.write("izklop.sql", QStringLiteral("INSERT INTO PREVOD_JEZIKI VALUES ('OFF', 'off');"));

    TranslationDatabase db;
    const MaintenanceOutcome out = runTranslationMaintenance(home.path(kIni), db, QString());

    // "Jeziki" and "Še_enkrat" name the same file: it runs once.
    EXPECT_EQ(out.scriptsRun.size(), 1);
    EXPECT_EQ(out.scriptsFailed.size(), 1);
    EXPECT_EQ(scalarSql(*s, "SELECT OPIS FROM PREVOD_JEZIKI WHERE KODA_JEZIKA = 'SLO'").toString(),
              "Slovenščina");
    EXPECT_EQ(scalarSql(*s, "SELECT OPIS FROM PREVOD_JEZIKI WHERE KODA_JEZIKA = 'ČŠŽ'").toString(),
              "Šumniki");
    // The failing script was rolled back whole, its good lines included.
    EXPECT_EQ(rows(*s, "PREVOD_JEZIKI"), 2);
    const QString log = home.read("slabo.sql.log");
    EXPECT_TRUE(log.startsWith("INSERT INTO PREVOD_JEZIKI VALUS ('DEU', 'Deutsch')\r\n"))
        << log.toStdString();
    EXPECT_TRUE(log.endsWith("\r\n\r\n"));
    EXPECT_FALSE(log.contains("ITA"));

    const IniFile ini(home.path(kIni));
    EXPECT_EQ(ini.encoding(), IniFile::Encoding::Windows1250);
    for (const char* entry : {"Jeziki", "Še_enkrat", "Slabo", "Manjka"})
        EXPECT_EQ(ini.value("IMPORT", entry), "0") << entry; // a missing file too
    EXPECT_EQ(ini.value("IMPORT", "Izklop"), "0");
    EXPECT_EQ(scalarSql(*s, "SELECT COUNT(*) FROM PREVOD_JEZIKI WHERE KODA_JEZIKA = 'OFF'").toInt(), 0);
}

TEST(TranslationMaintenance, WithoutEntriesNoDatabaseIsOpenedOrCreated)
{
    TranslateHome home;
    home.write(kIni, QStringLiteral("[DELETE]\r\nfLocate=1\r\n[IMPORT]\r\nX=0\r\n"));
    const int before = TranslationDatabase::openCount();
    TranslationDatabase db;
    runTranslationMaintenance(home.path(kIni), db, QString());
    EXPECT_EQ(TranslationDatabase::openCount(), before);
    EXPECT_FALSE(home.exists("translations.db"));
    EXPECT_EQ(IniFile(home.path(kIni)).value("DELETE", "fLocate"), "0");
}

TEST(TranslationKeys, CountersFollowSKljuciAndARollbackGivesTheNumberBack)
{
    TranslateHome home;
    auto s = home.database();
    EXPECT_EQ(TranslationDatabase::nextKey(*s, "PREVOD_ORG"), "1");
    EXPECT_EQ(
        scalarSql(*s,
                  "SELECT STEVEC || '/' || TIP || '/' || VIDEN FROM S_KLJUCI WHERE IDKLJUC = 'PREVOD_ORG'")
            .toString(),
        "2/1/0");
    EXPECT_EQ(TranslationDatabase::nextKey(*s, "PREVOD_ORG"), "2");

    execSql(*s, "INSERT INTO S_KLJUCI (IDKLJUC, STEVEC, TIP, VIDEN, PREDPONA, PRIPONA) VALUES ('X', 7, '1', "
                "0, 'A-', '/26')");
    EXPECT_EQ(TranslationDatabase::nextKey(*s, "X"), "A-7/26");

    s->StartTransaction();
    EXPECT_EQ(TranslationDatabase::nextKey(*s, "PREVOD_ORG"), "3");
    s->Rollback();
    EXPECT_EQ(TranslationDatabase::nextKey(*s, "PREVOD_ORG"), "3");

    // Rows an import script brought with their own numbers are never handed out again.
    execSql(*s, "INSERT INTO PREVOD_ORG VALUES (1, 40, 'Title', 'x')");
    EXPECT_EQ(TranslationDatabase::nextKey(*s, "PREVOD_ORG"), "41");
}
