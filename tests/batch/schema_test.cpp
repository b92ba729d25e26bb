#include "db/schema.h"
#include "support/fixture_db.h"
#include "support/test_engine.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <gtest/gtest.h>

using rek2::test::FixtureDb;

namespace {

// Column names and declared types, in order, from the engine's catalogue.
QList<QPair<QString, QString>> columnTypes(QSqlDatabase db, const QString& table)
{
    QList<QPair<QString, QString>> out;
    QSqlQuery q(db);
    if (rek2::test::onPostgres())
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT upper(column_name), upper(data_type) FROM "
                                          "information_schema.columns WHERE table_name = lower('%1') "
                                          "ORDER BY ordinal_position")
                               .arg(table)));
    else
        EXPECT_TRUE(
            q.exec(QStringLiteral("SELECT name, upper(type) FROM pragma_table_info('%1')").arg(table)));
    while (q.next())
        out << qMakePair(q.value(0).toString(), q.value(1).toString());
    return out;
}

QStringList columns(QSqlDatabase db, const QString& table)
{
    QStringList out;
    for (const auto& c : columnTypes(db, table))
        out << c.first;
    return out;
}

QString declaredType(QSqlDatabase db, const QString& table, const QString& column)
{
    for (const auto& c : columnTypes(db, table))
        if (c.first == column)
            return c.second;
    return {};
}

// Does the plan of `sql` use an index rather than a full scan of `table`?
bool usesIndex(QSqlDatabase db, const QString& sql, const QString& table)
{
    QSqlQuery q(db);
    EXPECT_TRUE(q.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + sql)) << sql.toStdString();
    bool scan = false;
    while (q.next()) {
        const QString detail = q.value(3).toString();
        if (detail.startsWith(QStringLiteral("SCAN ") + table) && !detail.contains(QStringLiteral("INDEX")))
            scan = true;
    }
    return !scan;
}

} // namespace

TEST(Schema, HistoryTablesMatchWorkingTablesColumnForColumn)
{
    FixtureDb f;
    const QStringList anal = columns(f.db(), "REK2_ANAL");
    EXPECT_EQ(anal.size(), 23);
    EXPECT_EQ(anal.first(), "ID_REK2_ANAL");
    EXPECT_EQ(anal.last(), "ZNIZANASTOPNJA");
    EXPECT_EQ(columns(f.db(), "REK2_ANAL_HST"), anal);

    const QStringList zbir = columns(f.db(), "REK2_ZBIR");
    ASSERT_EQ(zbir.size(), 30);
    EXPECT_EQ(zbir.first(), "ID_REK2_ZBIR");
    EXPECT_EQ(zbir.last(), "DAV_ZNZ_OSN");
    EXPECT_EQ(columns(f.db(), "REK2_ZBIR_HST"), (zbir + QStringList{"CAS", "USR", "COMPUTER"}));

    EXPECT_EQ(columns(f.db(), "REK2_DOG"), (QStringList{"ID_REK2_ANAL", "ID_DOG", "DURS_ID_DOK", "XML_FILE",
                                                        "STATUS", "DAVCNI_ODTEGLJAJ"}));
}

TEST(Schema, HistoryCopiesRunAsTheSystemWritesThem)
{
    FixtureDb f;
    f.exec("INSERT INTO REK2_ZBIR (ID_REK2_ZBIR, DOH, STOPNJA) VALUES (7, 100, 25)");
    f.exec("INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, BRUTO) VALUES (1, 7, 10)");
    f.exec("INSERT INTO REK2_ANAL_HST SELECT * FROM REK2_ANAL");
    f.exec("INSERT INTO REK2_ZBIR_HST SELECT Z.*, '2026-12-10', 'OPERATER', 'PC1' FROM REK2_ZBIR Z");
    // A file name longer than 50 characters and a link inserted without a column list.
    const QString longName(80, QChar('x'));
    f.exec(QStringLiteral("INSERT INTO REK2_DOG VALUES (1, 99, NULL, '%1.xml', 'O', 'N')").arg(longName));

    QSqlQuery q(f.db());
    ASSERT_TRUE(
        q.exec("SELECT Z.DOH / Z.STOPNJA, A.BRUTO, D.XML_FILE FROM REK2_ZBIR_HST Z "
               "JOIN REK2_ANAL_HST A ON A.ID_REK2_ZBIR = Z.ID_REK2_ZBIR JOIN REK2_DOG D ON D.ID_REK2_ANAL = "
               "A.ID_REK2_ANAL"));
    ASSERT_TRUE(q.next());
    EXPECT_DOUBLE_EQ(q.value(0).toDouble(), 4.0); // REAL columns: 100/25 and 10/4 are not integer divisions
    EXPECT_EQ(q.value(2).toString(), longName + ".xml");
    ASSERT_TRUE(q.exec("SELECT BRUTO / 4 FROM REK2_ANAL"));
    ASSERT_TRUE(q.next());
    EXPECT_DOUBLE_EQ(q.value(0).toDouble(), 2.5);
}

TEST(Schema, ColumnTypesLetTheStoreTellDatesAndAmounts)
{
    FixtureDb f;
    const struct
    {
        const char* table;
        const char* column;
        const char* type;
    } cases[] = {
        {"REK2_ANAL", "BRUTO", "REAL"},
        {"REK2_ANAL", "DATUM_IZP_DIV", "DATE"},
        {"REK2_ZBIR", "STOPNJA", "REAL"},
        {"REK2_ZBIR_HST", "CAS", "DATE"},
        {"DVK_STP", "STOPNJA", "REAL"},
        {"DOG", "LOT", "REAL"},
        {"DOG", "TCJVLT", "REAL"},
        {"DOG", "DAN", "DATE"},
        {"REK2_ANAL", "ID_REK2_ANAL", "INTEGER"},
        {"KPN", "OBROBRBRT", "REAL"},
    };
    // PostgreSQL keeps amounts exact.
    const bool pg = rek2::test::onPostgres();
    for (const auto& c : cases) {
        QString type = QString::fromLatin1(c.type);
        if (pg)
            type = type == "REAL" ? "NUMERIC" : type == "DATE" ? "DATE" : "INTEGER";
        EXPECT_EQ(declaredType(f.db(), c.table, c.column), type) << c.table << "." << c.column;
    }
}

TEST(Schema, RegistryAndParameterTablesHaveTheColumnsTheStatementsRead)
{
    FixtureDb f;
    const struct
    {
        const char* table;
        QStringList needed;
    } cases[] = {
        {"DOG", {"IDDOG",    "SFDOG",  "SFPDG",  "DAN",       "ZPD",          "IDPOG",      "SFOSBDVK",
                 "SFKPN",    "SFVP",   "LOT",    "TCJVLT",    "GOT",          "SFVPGOT",    "SFGLVENT",
                 "IDDOGGOT", "OBRVLT", "REVVLT", "DAVEKRAZP", "DAVEKRAZPOBR", "DAVEKSTATUS"}},
        {"DOGLNK", {"IDDOGMASTER", "IDDOGDETAIL", "SFLNK"}},
        {"KPN", {"SFKPN", "SFVP", "SFOBR", "OBROBRBRT", "STKPN"}},
        {"SFVP", {"SFVP", "KRT", "SFGLVENT", "SFOSBIZD"}},
        {"POG", {"IDPOG", "SFOSB"}},
        {"OSB", {"SFOSB", "NZV", "IME", "NSL", "DVS", "DVSTUJ", "DVSZDA", "SFDRZ", "SFDRZDVK", "SFSOS"}},
        {"DRZ", {"SFDRZ", "SFDRZBNK"}},
        {"DVK_STP", {"SFDRZ", "TIP", "DAN", "STOPNJA"}},
        {"EUROOBD", {"OZNAKA", "DANOD", "SFVPFROM"}},
        {"INISET", {"KLJUC", "VREDNOST"}},
        {"REK2_SIF", {"SSF", "SIF", "KRT", "NZV", "AKT"}},
        {"PREVOD_DATA",
         {"ID_PREVODA", "ID_PREVOD_ORG", "ID_PREVOD_DATA", "NAME", "TRANSLTEXT", "TRANSLATED",
          "KODA_JEZIKA"}},
        {"S_KLJUCI", {"IDKLJUC", "STEVEC", "TIP", "VIDEN", "PREDPONA", "PRIPONA"}},
    };
    for (const auto& c : cases) {
        const QStringList have = columns(f.db(), c.table);
        for (const QString& col : c.needed)
            EXPECT_TRUE(have.contains(col)) << c.table << "." << col.toStdString();
    }
    const QStringList params = columns(f.db(), "REK2_IMPORT_PARAMS");
    ASSERT_EQ(params.size(), 19);
    EXPECT_EQ(params.first(), "START_PODATKOV");
}

TEST(Schema, PerRowLookupsOfTheCollectionUseIndexes)
{
    REK2_SQLITE_ONLY(); // SQLite's query plans
    FixtureDb f;
    const struct
    {
        const char* sql;
        const char* table;
    } cases[] = {
        {"SELECT * FROM DOG WHERE DAN BETWEEN '2026-01-01' AND '2026-01-31'", "DOG"},
        {"SELECT * FROM DOG WHERE SFPDG IN ('=', '@') AND DAN >= '2026-01-01'", "DOG"},
        {"SELECT * FROM DOGLNK WHERE IDDOGMASTER = 5 AND SFLNK = 'R'", "DOGLNK"},
        {"SELECT * FROM DOGLNK WHERE IDDOGDETAIL = 5", "DOGLNK"},
        {"SELECT 1 FROM REK2_DOG WHERE ID_DOG = 5 AND DAVCNI_ODTEGLJAJ = 'N'", "REK2_DOG"},
        {"SELECT 1 FROM REK2_DOG WHERE ID_REK2_ANAL = 5 AND XML_FILE IS NULL", "REK2_DOG"},
        {"SELECT * FROM REK2_ANAL WHERE ID_REK2_ZBIR = 5", "REK2_ANAL"},
        {"SELECT MAX(DAN) FROM DVK_STP WHERE DAN <= '2026-01-01' AND TIP = 'D' AND SFDRZ = 'S'", "DVK_STP"},
        {"SELECT * FROM REK2_ANAL_HST WHERE ID_REK2_ZBIR = 5", "REK2_ANAL_HST"},
        {"SELECT * FROM REK2_ZBIR_HST WHERE DURS_ID_DOK = 'x'", "REK2_ZBIR_HST"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(usesIndex(f.db(), c.sql, c.table)) << c.sql;
}

TEST(Schema, FailureLeavesNothingBehindAndCarriesTheEngineMessage)
{
    FixtureDb f; // already has the schema: a second run must fail on the first table
    QSqlDatabase db = f.db();
    f.exec("INSERT INTO INISET VALUES ('x', 'y')");
    try {
        rek2::createSchema(db);
        FAIL() << "expected an error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("already exists"), std::string::npos) << e.what();
    }
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("SELECT COUNT(*) FROM INISET"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    EXPECT_TRUE(q.exec("BEGIN")) << "a transaction was left open";
    q.exec("ROLLBACK");
}

TEST(Schema, SifBasicsGiveEveryDocumentKindItsText)
{
    FixtureDb f(FixtureDb::Content::SifBasics);
    QSqlQuery q(f.db());
    ASSERT_TRUE(q.exec("SELECT SIF FROM REK2_SIF WHERE SSF = 'STATUS' AND NZV IS NOT NULL ORDER BY SIF"));
    QString kinds;
    while (q.next())
        kinds += q.value(0).toString();
    EXPECT_EQ(kinds, "ADIOPSXZ");
}
