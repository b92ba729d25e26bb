#include "translate/tquorprevod.h"
#include "translate/translation_database.h"
#include "translate/translation_maintenance.h"
#include "translate/translation_store.h"
#include "translate_home.h"
#include "ui/translate/tfquorprevod.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

using namespace rek2;
using namespace rek2::test;
namespace ts = rek2::translation_store;

namespace {

QString docsFile(const QString& relative)
{
    return QStringLiteral(REK2_DOCS_DIR) + u'/' + relative;
}

// Saves a picture of `w` when REK2_SCREENSHOT_DIR names a folder.
void screenshot(QWidget& w, const QString& name)
{
    const QString folder = qEnvironmentVariable("REK2_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    w.show();
    w.grab().save(folder + u'/' + name);
}

// The sample script of docs/, imported by the start-up maintenance.
void importSample(TranslateHome& home)
{
    ASSERT_TRUE(QFile::copy(docsFile("translations/grid_dialogs_en.sql"), home.path("grid_dialogs_en.sql")));
    home.write("QuorTranslation.ini",
               "[IMPORT]\r\nGridDialogsEN=1\r\n[FILES]\r\nGridDialogsEN=grid_dialogs_en.sql\r\n");
    TranslationDatabase db;
    const MaintenanceOutcome out = runTranslationMaintenance(home.path("QuorTranslation.ini"), db, QString());
    ASSERT_EQ(out.scriptsRun.size(), 1) << home.read("grid_dialogs_en.sql.log").toStdString();
}

} // namespace

TEST(TranslationSample, ImportsTwiceWithTheSameRowsAndFeedsTheManager)
{
    TranslateHome home;
    importSample(home);
    auto s = home.database();
    const auto locate = ts::findForm(*s, "fLocate", QString());
    ASSERT_TRUE(locate);
    EXPECT_EQ(ts::lookupTranslation(*s, locate->id, "cbExact", "ENG"), "Exact value");
    const int rows = scalarSql(*s, "SELECT COUNT(*) FROM PREVOD_DATA").toInt();
    EXPECT_GT(rows, 20);

    // A second import replaces the forms' rows instead of adding to them.
    { // runs once per start per file: a copy under another name stands for the next start
        QFile::copy(home.path("grid_dialogs_en.sql"), home.path("again.sql"));
        home.write("QuorTranslation.ini", "[IMPORT]\r\nAgain=1\r\n[FILES]\r\nAgain=again.sql\r\n");
        TranslationDatabase db;
        ASSERT_EQ(
            runTranslationMaintenance(home.path("QuorTranslation.ini"), db, QString()).scriptsRun.size(), 1);
    }
    EXPECT_EQ(scalarSql(*s, "SELECT COUNT(*) FROM PREVOD_DATA").toInt(), rows);

    // The manager on the form's texts, in English, with a suggestion for an equal original.
    home.settings("ENG", true, true);
    TQuorPrevod t("fLocate");
    t.InitTranslationData();
    t.SetFormRecord();
    TFQuorPrevod manager(t);
    manager.rbTranslated->setChecked(true);
    manager.showTexts();
    EXPECT_EQ(manager.tblTexts->rowCount(), 6);
    screenshot(manager, "translation_manager_texts.png");
    manager.tblTexts->selectRow(3);
    manager.bTranslateClick();
    EXPECT_EQ(manager.pcPrevod->currentWidget(), manager.tsPrevod);
    EXPECT_FALSE(manager.eTransText->text().isEmpty());
    screenshot(manager, "translation_manager_text.png");
    manager.showSettings();
    EXPECT_EQ(manager.eOpis->text(), "English");
    screenshot(manager, "translation_manager_language.png");
}
