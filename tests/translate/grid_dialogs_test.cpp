#include "translate/translation_database.h"
#include "translate/translation_maintenance.h"
#include "translate_home.h"
#include "ui/grid/dialog_base.h"
#include "ui/grid/tflocate.h"
#include "ui/grid/tsortselect.h"
#include "ui/translate/dialog_translator.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>

using namespace rek2;
using namespace rek2::test;

namespace {

// Saves a picture of `w` when REK2_SCREENSHOT_DIR names a folder.
void screenshot(QWidget& w, const QString& name)
{
    const QString folder = qEnvironmentVariable("REK2_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    w.show();
    w.grab().save(folder + u'/' + name);
}

struct InstalledTranslator
{
    InstalledTranslator() { installDialogTranslator(); }
    ~InstalledTranslator() { TTranslatable::setTranslatorFactory(nullptr); }
};

} // namespace

// The grid dialogs in English after the start-up import of the sample
// script. The dialogs are made once per program, so this is the one test of
// this executable that makes them.
TEST(TranslatedGridDialogs, SampleScriptTurnsTheGridDialogsEnglish)
{
    TranslateHome home;
    ASSERT_TRUE(QFile::copy(QStringLiteral(REK2_DOCS_DIR "/translations/grid_dialogs_en.sql"),
                            home.path("grid_dialogs_en.sql")));
    home.write("QuorTranslation.ini",
               "[IMPORT]\r\nGridDialogsEN=1\r\n[FILES]\r\nGridDialogsEN=grid_dialogs_en.sql\r\n");
    home.settings("ENG", true);
    InstalledTranslator installed;

    TsortSelect& columns = TsortSelect::instance();
    EXPECT_FALSE(home.exists("grid_dialogs_en.sql.log"));
    EXPECT_EQ(columns.windowTitle(), "Choose columns"); // coloured (Tag 1), still translated
    EXPECT_EQ(columns.findChild<QLabel*>("lShown")->text(), "Shown columns:");
    EXPECT_EQ(columns.bApply->text(), "Apply");
    EXPECT_EQ(columns.bRight->toolTip(), "Hide the selected column");
    screenshot(columns, "grid_column_chooser_english.png");

    TfLocate& locate = TfLocate::instance();
    EXPECT_EQ(locate.windowTitle(), "Find");
    EXPECT_EQ(locate.cbExact->text(), "Exact value");
    EXPECT_EQ(locate.findChild<QLabel*>("lValue")->text(), "Value:");
    screenshot(locate, "grid_locate_english.png");
    columns.hide();
    locate.hide();
}
