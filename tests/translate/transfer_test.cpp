#include "base/inifile.h"
#include "translate/transfer_script.h"
#include "translate/translation_database.h"
#include "translate/translation_maintenance.h"
#include "translate/translation_store.h"
#include "translate_home.h"

using namespace rek2;
using namespace rek2::test;
namespace ts = rek2::translation_store;

namespace {

QStringList allTexts(Session& s)
{
    QStringList out;
    for (const auto& f : ts::forms(s, QString())) {
        const auto row = ts::findForm(s, f.formName, QString());
        for (bool translated : {false, true})
            for (const auto& t : ts::formTextRows(s, row->id, "ENG", translated))
                out << f.formName + "|" + t.name + "|" + t.original + "|" + t.translation + "|" +
                           (t.translated ? "Y" : "N");
    }
    out.sort();
    return out;
}

} // namespace

// The transfer manager's script, run by the start-up import of another
// workstation whose keys already overlap, leaves the same texts there.
TEST(TranslationTransfer, ScriptCarriesTheFormsToAnotherDatabase)
{
    TranslateHome source;
    auto s = source.database();
    ts::insertLanguage(*s, "ENG", "English");
    for (const char* form : {"fLocate", "fSort"}) {
        const auto f = ts::insertForm(*s, form, QString());
        ts::saveTranslation(*s, f.id, "Title", QString::fromUtf8("Iskanje čšž"), "ENG", "Search 'all'");
        ts::recordOriginal(*s, f.id, "bOK", "V redu", "ENG");
    }
    const QStringList expected = allTexts(*s);
    ASSERT_EQ(expected.size(), 4);

    TranslateHome target;
    auto t = target.database();
    // Keys 1.. are taken there by a form of its own, and an old copy of fSort is replaced.
    const auto own = ts::insertForm(*t, "fOwn", QString());
    ts::saveTranslation(*t, own.id, "Title", "Lastna", "ENG", "Own");
    const auto old = ts::insertForm(*t, "FSORT", QString());
    ts::saveTranslation(*t, old.id, "Title", "Staro", "ENG", "Old");

    TransferRequest r;
    r.allForms = true;
    r.folder = target.path(QString());
    QString error;
    ASSERT_TRUE(writeTransfer(*s, r, &error)) << error.toStdString();
    ASSERT_TRUE(target.exists("Translations.sql"));

    TranslationDatabase db;
    const MaintenanceOutcome out =
        runTranslationMaintenance(target.path("QuorTranslation.ini"), db, QString());
    ASSERT_EQ(out.scriptsRun.size(), 1) << target.read("Translations.sql.log").toStdString();

    QStringList got = allTexts(*t);
    EXPECT_TRUE(got.removeAll("fOwn|Title|Lastna|Own|Y") == 1);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(ts::languageDescription(*t, "ENG"), "English");
    // New keys drawn afterwards do not collide with the imported ones.
    const auto later = ts::insertForm(*t, "fLater", QString());
    EXPECT_NO_THROW(ts::recordOriginal(*t, later.id, "bOK", "V redu", "ENG"));

    // Deleting: the command is an entry of section DELETE.
    TransferRequest d;
    d.deleteTranslations = true;
    d.formName = "fLocate";
    d.folder = target.path(QString());
    ASSERT_TRUE(writeTransfer(*s, d, &error));
    EXPECT_EQ(IniFile(target.path("QuorTranslation.ini")).value("DELETE", "fLocate"), "1");
}
