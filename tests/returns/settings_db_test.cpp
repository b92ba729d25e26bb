#include "base/inifile.h"
#include "base/settings_ini.h"
#include "db/error.h"
#include "db/session.h"
#include "returns/settings_db.h"
#include "support/fixture_db.h"
#include "support/scripted_operator.h"
#include "support/test_engine.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using rek2::test::FixtureDb;

namespace {

// A registry whose own person (SfOsb 2) is "Register d.d.", the payer rows of
// REK2_SIF set to this test's own values, and a session on it.
struct DbSettings : ::testing::Test
{
    FixtureDb fx{FixtureDb::Content::SifBasics};
    rek2::Session session;
    QTemporaryDir home;
    QString ini;
    rek2::test::ScriptedOperator op;

    void SetUp() override
    {
        const std::pair<const char*, const char*> payer[] = {
            {"NAZIV_IZP", "Plačilni zastopnik d.o.o."},
            {"NASLOV_IZP", "Cesta 7, 2000 Maribor"},
            {"ODGOV_OSB", "Špela Čebin"},
            {"ODGOV_OSBT", "02 111 22 33"},
            {"VPL_PODRCN", "04430-0000012345"},
        };
        for (const auto& [key, value] : payer)
            fx.exec(QStringLiteral("UPDATE REK2_SIF SET NZV = '%1' WHERE SSF = '%2'")
                        .arg(QString::fromUtf8(value), QString::fromLatin1(key)));
        fx.exec("INSERT INTO OSB (SFOSB, NZV, IME, NSL, DVS) VALUES (2, 'Register ', 'd.d.', 'Trg 1, "
                "Ljubljana', '87654321')");
        session.LogonDatabase = fx.path();
        session.LogOn();
        ini = home.filePath("rek2.ini");
    }

    // NZV of a REK2_SIF row; "<none>" when the row is missing, "<null>" for NULL.
    QString sif(const char* key)
    {
        QSqlQuery q(fx.db());
        q.exec(QStringLiteral("SELECT NZV FROM REK2_SIF WHERE SSF = '%1'").arg(key));
        if (!q.next())
            return "<none>";
        return q.value(0).isNull() ? "<null>" : q.value(0).toString();
    }

    rek2::Settings loaded()
    {
        rek2::Settings s;
        EXPECT_TRUE(rek2::loadDatabaseSettings(session, s).isEmpty());
        return s;
    }

    // The form as the tab shows it for `s`.
    static rek2::ParamsForm formOf(const rek2::Settings& s)
    {
        rek2::ParamsForm f;
        f.izp = s.NazivIzp;
        f.izpNaslov = s.NaslovIzp;
        f.izpDvs = s.DvsIzp;
        f.odgOsbFromIni = !s.OdgovornaOseba.isEmpty();
        f.odgOsb = f.odgOsbFromIni ? s.OdgovornaOseba : s.OdgovornaOsebaDb;
        f.telOdgOsbFromIni = !s.OdgovornaOsebaTel.isEmpty();
        f.telOdgOsb = f.telOdgOsbFromIni ? s.OdgovornaOsebaTel : s.OdgovornaOsebaTelDb;
        f.vplPodRcn = s.VplPodracun;
        f.xmlPot = s.XMLPathRaw;
        f.xmlArhivPot = s.XMLArhivRaw;
        f.sfDogDvcOdt = s.SfDogDvcOdt;
        return f;
    }
};

} // namespace

TEST_F(DbSettings, WithoutSifRowsTheRegistryPersonAndDefaultsApply)
{
    fx.exec("DELETE FROM REK2_SIF");
    const rek2::Settings s = loaded();
    EXPECT_EQ(s.TipBaze, "ORACLE");
    EXPECT_EQ(s.NazivIzp, "Register d.d.");
    EXPECT_EQ(s.NaslovIzp, "Trg 1, Ljubljana");
    EXPECT_EQ(s.DvsIzp, "87654321");
    EXPECT_EQ(s.OdgovornaOsebaDb, "");
    EXPECT_EQ(s.VplPodracun, "");
    EXPECT_EQ(s.FDanZacetka, QDate(2008, 7, 1));
    EXPECT_FALSE(s.FHasBrutoDiv);
    EXPECT_FALSE(s.FREK_5700_neRez);
}

TEST_F(DbSettings, SifRowsAndIniSetSwitchesAreRead)
{
    fx.exec("UPDATE REK2_SIF SET KRT = 'DB2' WHERE SSF = 'TIPBAZE'");
    fx.exec("UPDATE REK2_SIF SET SSF = 'danzacetka', NZV = '15.03.2010' WHERE SSF = 'DANZACETKA'");
    fx.exec("UPDATE REK2_SIF SET NZV = NULL WHERE SSF = 'NASLOV_IZP'");
    fx.exec(
        "INSERT INTO INISET (KLJUC, VREDNOST) VALUES ('HasBrutoDividende', 'D'), ('REK_5700_neRez', 'd')");
    const rek2::Settings s = loaded();
    EXPECT_EQ(s.TipBaze, "DB2");
    EXPECT_EQ(s.NazivIzp, QStringLiteral("Plačilni zastopnik d.o.o."));
    EXPECT_EQ(s.NaslovIzp, "Trg 1, Ljubljana"); // empty value: the registry's own
    EXPECT_EQ(s.OdgovornaOsebaDb, QStringLiteral("Špela Čebin"));
    EXPECT_EQ(s.OdgovornaOsebaTelDb, "02 111 22 33");
    EXPECT_EQ(s.VplPodracun, "04430-0000012345");
    EXPECT_EQ(s.FDanZacetka, QDate(2010, 3, 15)); // key matched without regard to case
    EXPECT_TRUE(s.FHasBrutoDiv);
    EXPECT_FALSE(s.FREK_5700_neRez); // only "D" switches it on
}

TEST_F(DbSettings, FirstReportingDayEmptyOrMalformed)
{
    fx.exec("UPDATE REK2_SIF SET NZV = NULL WHERE SSF = 'DANZACETKA'");
    EXPECT_FALSE(loaded().FDanZacetka.isValid());

    fx.exec("UPDATE REK2_SIF SET NZV = '2010-03-15' WHERE SSF = 'DANZACETKA'");
    rek2::Settings s;
    const QStringList messages = rek2::loadDatabaseSettings(session, s);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("2010-03-15"));
    EXPECT_FALSE(s.FDanZacetka.isValid());
}

TEST_F(DbSettings, T2sSwitchesGrossDividendsOffWithOneMessage)
{
    fx.exec("INSERT INTO INISET (KLJUC, VREDNOST) VALUES ('HasBrutoDividende', 'D')");
    rek2::Settings s;
    s.T2S = true;
    EXPECT_EQ(rek2::loadDatabaseSettings(session, s),
              QStringList{"Podpora za bruto dividende ni kompatibilna s T2S, prosimo kontaktirajte Pelvo."});
    EXPECT_FALSE(s.FHasBrutoDiv);
}

TEST_F(DbSettings, EnteringTheRegistryNameClearsTheOverride)
{
    rek2::Settings s = loaded();
    rek2::ParamsForm f = formOf(s);
    f.izp = "Register d.d.";
    rek2::saveParams(f, s, ini, home.path() + "/", &session, op);
    EXPECT_EQ(sif("NAZIV_IZP"), "<null>");
    EXPECT_EQ(s.NazivIzp, "Register d.d.");
    EXPECT_EQ(sif("NASLOV_IZP"), "Cesta 7, 2000 Maribor"); // untouched
    EXPECT_TRUE(op.shown.empty());

    // And a new name is stored again.
    f.izp = QStringLiteral("Novi Izplačevalec");
    rek2::saveParams(f, s, ini, home.path() + "/", &session, op);
    EXPECT_EQ(sif("NAZIV_IZP"), QStringLiteral("Novi Izplačevalec"));
    EXPECT_EQ(s.NazivIzp, QStringLiteral("Novi Izplačevalec"));
}

TEST_F(DbSettings, ResponsiblePersonFromIniIsSavedToTheIniOnly)
{
    rek2::writeIniSetting(ini, "OdgovornaOseba", "Ana");
    rek2::Settings s;
    rek2::readIniSettings(ini, home.path() + "/", s);
    rek2::loadDatabaseSettings(session, s);
    rek2::ParamsForm f = formOf(s);
    ASSERT_TRUE(f.odgOsbFromIni);
    f.odgOsb = "Berta";
    f.izpNaslov = "Nov naslov"; // the database save runs too, and must leave ODGOV_OSB alone
    rek2::saveParams(f, s, ini, home.path() + "/", &session, op);
    EXPECT_EQ(rek2::IniFile(ini).value(rek2::iniSection(), "OdgovornaOseba"), "Berta");
    EXPECT_EQ(s.OdgovornaOseba, "Berta");
    EXPECT_EQ(sif("ODGOV_OSB"), QStringLiteral("Špela Čebin"));
    EXPECT_EQ(sif("NASLOV_IZP"), "Nov naslov");
    EXPECT_FALSE(rek2::IniFile(ini).contains(rek2::iniSection(), "OdgovornaOsebaTel"));
}

TEST_F(DbSettings, ChangeOfIniResponsiblePersonAloneLeavesTheDatabaseUntouched)
{
    REK2_SQLITE_ONLY(); // an SQLite trigger makes the database refuse the write
    rek2::writeIniSetting(ini, "OdgovornaOseba", "Ana");
    rek2::Settings s;
    rek2::readIniSettings(ini, home.path() + "/", s);
    rek2::loadDatabaseSettings(session, s);
    fx.exec("CREATE TRIGGER no_writes BEFORE UPDATE ON REK2_SIF BEGIN SELECT RAISE(FAIL, 'pisanje'); END");
    rek2::ParamsForm f = formOf(s);
    f.odgOsb = "Cene";
    EXPECT_NO_THROW(rek2::saveParams(f, s, ini, home.path() + "/", &session, op));
    EXPECT_EQ(rek2::IniFile(ini).value(rek2::iniSection(), "OdgovornaOseba"), "Cene");
}

TEST_F(DbSettings, TypedValueForAMissingRowIsInserted)
{
    fx.exec("DELETE FROM REK2_SIF WHERE SSF IN ('ODGOV_OSB', 'VPL_PODRCN')");
    rek2::Settings s = loaded();
    rek2::ParamsForm f = formOf(s);
    f.odgOsb = "Dana";
    f.vplPodRcn = "01100-1";
    rek2::saveParams(f, s, ini, home.path() + "/", &session, op);
    EXPECT_EQ(sif("ODGOV_OSB"), "Dana");
    EXPECT_EQ(sif("VPL_PODRCN"), "01100-1");
    EXPECT_EQ(s.OdgovornaOsebaDb, "Dana");
    EXPECT_EQ(s.VplPodracun, "01100-1");
}

TEST_F(DbSettings, EmptiedWithholdingCodesKeepTheOldOnes)
{
    rek2::writeIniSetting(ini, "SfDogDvcOdt", "7,8");
    rek2::Settings s;
    rek2::readIniSettings(ini, home.path() + "/", s);
    rek2::loadDatabaseSettings(session, s);
    s.FHasBrutoDiv = true;
    rek2::ParamsForm f = formOf(s);
    f.sfDogDvcOdt = "";
    rek2::saveParams(f, s, ini, home.path() + "/", &session, op);
    EXPECT_EQ(s.SfDogDvcOdt, "7,8");
    EXPECT_EQ(rek2::IniFile(ini).value(rek2::iniSection(), "SfDogDvcOdt"), "7,8");
    f.sfDogDvcOdt = "7,8,9";
    rek2::saveParams(f, s, ini, home.path() + "/", &session, op);
    EXPECT_EQ(rek2::IniFile(ini).value(rek2::iniSection(), "SfDogDvcOdt"), "7,8,9");
}

TEST_F(DbSettings, FolderThatCannotBeCreatedIsReportedAndSavedAllTheSame)
{
    rek2::Settings s = loaded();
    rek2::ParamsForm f = formOf(s);
    f.xmlPot = "\\xml";
    f.xmlArhivPot = "\\ni\\tudi"; // two missing levels: only one is created
    rek2::saveParams(f, s, ini, home.path() + "/", &session, op);
    EXPECT_EQ(s.XMLPath, home.path() + "/xml/");
    EXPECT_EQ(s.XMLArhiv, home.path() + "/ni/tudi/");
    ASSERT_EQ(op.shown.size(), 1u);
    EXPECT_EQ(op.shown[0].text, "Pot ni ok, preverite!");
    EXPECT_EQ(op.shown[0].buttons, QStringList{"V redu"});
    rek2::IniFile file(ini);
    EXPECT_EQ(file.value(rek2::iniSection(), "XMLPath"), "\\xml");
    EXPECT_EQ(file.value(rek2::iniSection(), "XMLArhiv"), "\\ni\\tudi");

    // An emptied folder is not normalised: it stays empty and is reported.
    f.xmlPot = "";
    rek2::saveParams(f, s, ini, home.path() + "/", &session, op);
    EXPECT_EQ(s.XMLPath, "");
    EXPECT_EQ(op.shown.size(), 2u);
}

TEST_F(DbSettings, DatabaseErrorRollsBackAndKeepsTheIniWrites)
{
    REK2_SQLITE_ONLY(); // an SQLite trigger makes the database refuse the write
    rek2::Settings s = loaded();
    fx.exec("CREATE TRIGGER no_dvs BEFORE UPDATE ON REK2_SIF WHEN NEW.SSF = 'DVS_IZP' BEGIN SELECT "
            "RAISE(FAIL, 'zaklenjeno'); END");
    rek2::ParamsForm f = formOf(s);
    f.izp = "Drugo ime";
    f.izpDvs = "11111111";
    f.xmlPot = "\\xml";
    EXPECT_THROW(rek2::saveParams(f, s, ini, home.path() + "/", &session, op), rek2::DbError);
    EXPECT_EQ(sif("NAZIV_IZP"), QStringLiteral("Plačilni zastopnik d.o.o.")); // rolled back
    EXPECT_EQ(rek2::IniFile(ini).value(rek2::iniSection(), "XMLPath"), "\\xml");
    EXPECT_FALSE(session.InTransaction());
}
