#include "translate/tquorprevod.h"
#include "translate/translation_cache.h"
#include "translate/translation_database.h"
#include "translate_home.h"
#include "ui/dialogs.h"
#include "ui/translate/form_translation.h"
#include "ui/translate/form_translator.h"
#include "ui/translate/tfquorprevod.h"
#include "ui/translate/translated_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

using namespace rek2;
using namespace rek2::test;

namespace {

// A small dialog with one control of each kind the translator knows.
class SampleDialog : public TranslatedDialog
{
public:
    SampleDialog()
    {
        setObjectName("fSample");
        setWindowTitle("Iskanje");
        auto* box = new QVBoxLayout(this);
        lPolje = add<QLabel>(box, "lPolje", "Polje");
        bIsci = add<QPushButton>(box, "bIsci", "Išči");
        bIsci->setToolTip("Poišči prvo");
        cbTocno = add<QCheckBox>(box, "cbTocno", "Išči točno vrednost");
        lSkip = add<QLabel>(box, "lSkip", "Ostane");
        setControlTag(lSkip, 1);
        tabs = new QTabWidget(this);
        tabs->setObjectName("pcStrani");
        auto* page = new QWidget;
        page->setObjectName("tsPrva");
        tabs->addTab(page, "Prva");
        box->addWidget(tabs);
        rgSmer = new QGroupBox("Smer", this);
        rgSmer->setObjectName("rgSmer");
        rgSmer->setProperty("radioGroup", true);
        auto* rb = new QVBoxLayout(rgSmer);
        rb->addWidget(new QRadioButton("Naprej", rgSmer));
        rb->addWidget(new QRadioButton("Nazaj", rgSmer));
        box->addWidget(rgSmer);
    }
    template <typename W> W* add(QVBoxLayout* box, const char* name, const char* text)
    {
        auto* w = new W(QString::fromUtf8(text), this);
        w->setObjectName(name);
        box->addWidget(w);
        return w;
    }
    QLabel* lPolje;
    QPushButton* bIsci;
    QCheckBox* cbTocno;
    QLabel* lSkip;
    QTabWidget* tabs;
    QGroupBox* rgSmer;
};

// English texts of fSample, as an import would leave them.
void seedEnglish(Session& s)
{
    execSql(s, "INSERT INTO PREVOD_JEZIKI VALUES ('ENG', 'English')");
    execSql(s, "INSERT INTO PREVOD_FORME VALUES (5, 'fSample', NULL, '2026-01-01 10:00:00.000')");
    const char* rows[][3] = {{"Title", "Iskanje", "Search"},
                             {"lPolje", "Polje", "Field"},
                             {"bIsci", "Išči", "Find"},
                             {"bIsci_Hint", "Poišči prvo", "Find first"},
                             {"cbTocno", "Išči točno vrednost", "Exact value"},
                             {"lSkip", "Ostane", "Skipped"},
                             {"tsPrva", "Prva", "First"},
                             {"rgSmer", "Smer", "Direction"},
                             {"rgSmer_1", "Nazaj", "Backward"}};
    int id = 1;
    for (const auto& r : rows) {
        Query q;
        q.SetSession(&s);
        q.SQL << "INSERT INTO PREVOD_ORG VALUES (5, :ID, :NAME, :ORG)";
        q.DeclareAndSet("ID", VarType::Integer, id);
        q.DeclareAndSet("NAME", VarType::String, QString::fromUtf8(r[0]));
        q.DeclareAndSet("ORG", VarType::String, QString::fromUtf8(r[1]));
        q.Execute();
        q.SQL.clear();
        q.SQL << "INSERT INTO PREVOD_DATA VALUES (5, :ID, :ID, :NAME, :TR, 'Y', 'ENG')";
        q.DeclareAndSet("TR", VarType::String, QString::fromUtf8(r[2]));
        q.Execute();
        ++id;
    }
}

// Collects the dialogs the code under test raises instead of showing them.
struct Dialogs
{
    Dialogs()
    {
        setDialogInterceptor([this](const DialogRequest& r) {
            texts << r.text;
            return 1;
        });
    }
    ~Dialogs() { setDialogInterceptor(nullptr); }
    QStringList texts;
};

} // namespace

TEST(TranslatedDialog, TranslatesFromTheDatabaseThenFromTheCacheThenAgainAfterAChange)
{
    TranslateHome home;
    auto s = home.database();
    seedEnglish(*s);
    home.settings("ENG", true);

    {
        SampleDialog d;
        ASSERT_TRUE(d.prepareTranslation());
        EXPECT_TRUE(d.translator()->textsFromDatabase());
        EXPECT_EQ(d.windowTitle(), "Search");
        EXPECT_EQ(d.lPolje->text(), "Field");
        EXPECT_EQ(d.bIsci->text(), "Find");
        EXPECT_EQ(d.bIsci->toolTip(), "Find first");
        EXPECT_EQ(d.cbTocno->text(), "Exact value");
        EXPECT_EQ(d.lSkip->text(), "Ostane"); // Tag 1 keeps its text
        EXPECT_EQ(d.tabs->tabText(0), "First");
        EXPECT_EQ(d.rgSmer->title(), "Direction");
        const auto radios = d.rgSmer->findChildren<QRadioButton*>();
        EXPECT_EQ(radios[0]->text(), "Naprej");
        EXPECT_EQ(radios[1]->text(), "Backward");
        EXPECT_EQ(controlTag(&d), -1);
        EXPECT_EQ(d.translator()->LanguageText, "English");
    }
    EXPECT_TRUE(home.read("LNG/_ENG.lng").contains("lPolje=Field"));
    EXPECT_TRUE(home.read("PrevodForme.Log").startsWith("fSample=00:00:"));

    // Changed behind the form's back (DT_CHANGE unchanged): the cache answers.
    execSql(*s, "UPDATE PREVOD_DATA SET TRANSLTEXT = 'Label' WHERE NAME = 'lPolje'");
    {
        SampleDialog d;
        ASSERT_TRUE(d.prepareTranslation());
        EXPECT_FALSE(d.translator()->textsFromDatabase());
        EXPECT_EQ(d.lPolje->text(), "Field");
        EXPECT_EQ(d.windowTitle(), "Search");
    }

    execSql(*s, "UPDATE PREVOD_FORME SET DT_CHANGE = '2026-02-01 10:00:00.000'");
    {
        SampleDialog d;
        ASSERT_TRUE(d.prepareTranslation());
        EXPECT_TRUE(d.translator()->textsFromDatabase());
        EXPECT_EQ(d.lPolje->text(), "Label");
    }
    EXPECT_TRUE(home.read("LNG/_ENG.lng").contains("lPolje=Label"));
}

TEST(TranslatedDialog, DefaultsKeepTheTextsAndTouchNoDatabase)
{
    TranslateHome home;
    const int before = TranslationDatabase::openCount();
    {
        SampleDialog d; // no QuorTrans.ini at all
        ASSERT_TRUE(d.prepareTranslation());
        EXPECT_EQ(d.windowTitle(), "Iskanje");
        EXPECT_EQ(d.bIsci->text(), "Išči");
        EXPECT_EQ(controlTag(&d), 0);
    }
    EXPECT_EQ(TranslationDatabase::openCount(), before);
    EXPECT_FALSE(home.exists("translations.db"));
    EXPECT_FALSE(home.exists("LNG"));

    // With a database there, translation off reads the language description only.
    auto s = home.database();
    seedEnglish(*s);
    home.settings("ENG", false);
    const int withDb = TranslationDatabase::openCount();
    SampleDialog d;
    ASSERT_TRUE(d.prepareTranslation());
    EXPECT_EQ(TranslationDatabase::openCount(), withDb + 1);
    EXPECT_EQ(d.translator()->LanguageText, "English");
    EXPECT_FALSE(d.translator()->database().isOpen());
    EXPECT_EQ(d.lPolje->text(), "Polje");
}

TEST(TranslatedDialog, WriteModeRecordsANewTextOnceWithoutAsking)
{
    TranslateHome home;
    home.write("QuorTrans.ini", "[QUOR]\r\nLANGUAGE=ENG\r\nTRANSLATE=1\r\nAUTOCREATE=1\r\n");
    for (int run = 0; run < 2; ++run) {
        SampleDialog d;
        ASSERT_TRUE(d.prepareTranslation());
        EXPECT_EQ(d.bIsci->text(), "Išči");
        EXPECT_FALSE(d.translator()->WriteMode); // forced on for the walk only
    }
    auto s = home.database(); // created by the first dialog
    EXPECT_EQ(scalarSql(*s, "SELECT COUNT(*) FROM PREVOD_FORME").toInt(), 1);
    EXPECT_EQ(scalarSql(*s, "SELECT COUNT(*) FROM PREVOD_DATA WHERE NAME = 'bIsci'").toInt(), 1);
    EXPECT_EQ(scalarSql(*s, "SELECT TRANSLTEXT || '/' || TRANSLATED FROM PREVOD_DATA WHERE NAME = 'bIsci'")
                  .toString(),
              "Išči/N");
    EXPECT_EQ(scalarSql(*s, "SELECT ORGTEXT FROM PREVOD_ORG WHERE NAME = 'bIsci_Hint'").toString(),
              "Poišči prvo");
    // Title, lPolje, bIsci, its hint, cbTocno, tsPrva, rgSmer and its two items; not the Tag 1 label.
    EXPECT_EQ(scalarSql(*s, "SELECT COUNT(*) FROM PREVOD_ORG").toInt(), 9);
    EXPECT_EQ(scalarSql(*s, "SELECT STEVEC FROM S_KLJUCI WHERE IDKLJUC = 'PREVOD_DATA'").toInt(), 10);
}

TEST(TranslatedDialog, WriteModeAsksForANewTextAndShowsTheAnswer)
{
    TranslateHome home;
    home.settings("ENG", true, true);
    SampleDialog d;
    // The manager opens modally for each new text; answer the first, end the rest.
    int asked = 0;
    std::function<void()> answer = [&] {
        auto* manager = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!manager) {
            QTimer::singleShot(10, answer);
            return;
        }
        ++asked;
        auto* edit = manager->findChild<QLineEdit*>("eTransText");
        edit->setText("Search");
        manager->findChild<QPushButton*>("bSave")->click();
        QTimer::singleShot(10, [&] {
            if (auto* next = QApplication::activeModalWidget()) {
                ++asked;
                next->findChild<QPushButton*>("bCancelEnd")->click();
            }
        });
    };
    QTimer::singleShot(0, answer);
    ASSERT_TRUE(d.prepareTranslation());
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(d.windowTitle(), "Search");
    EXPECT_EQ(d.lPolje->text(), "Polje");
    auto s = home.database();
    EXPECT_EQ(scalarSql(*s, "SELECT TRANSLTEXT || '/' || TRANSLATED FROM PREVOD_DATA WHERE NAME = 'Title'")
                  .toString(),
              "Search/Y");
    // Every text is recorded even after "Cancel and end".
    EXPECT_EQ(scalarSql(*s, "SELECT COUNT(*) FROM PREVOD_DATA").toInt(), 9);
}

TEST(TranslatedDialog, BadInputLeavesTheProgramGoing)
{
    // An unreachable translation database: the error is shown and the dialog does not open.
    {
        TranslateHome home;
        home.settings("ENG", true);
        home.write("aliases.ini",
                   "[LB]\r\nDriver=ORACLE\r\nSERVER NAME=" + home.path("ni/prevodi.db") + "\r\n");
        Dialogs dialogs;
        SampleDialog d;
        EXPECT_EQ(d.exec(), QDialog::Rejected);
        EXPECT_FALSE(d.isVisible());
        ASSERT_EQ(dialogs.texts.size(), 1);
        EXPECT_EQ(d.bIsci->text(), "Išči");
    }
    // A cache that is not an INI file, and a language without rows.
    {
        TranslateHome home;
        auto s = home.database();
        seedEnglish(*s);
        home.write("LNG/_ENG.lng", QString::fromLatin1("\x01\x02garbage\n=x\n[fSample\nlPolje"));
        home.settings("ENG", true);
        SampleDialog english;
        ASSERT_TRUE(english.prepareTranslation());
        EXPECT_EQ(english.lPolje->text(), "Field");
        EXPECT_TRUE(home.read("LNG/_ENG.lng").startsWith("[fSample]\r\n"));

        home.settings("DEU", true);
        SampleDialog german;
        ASSERT_TRUE(german.prepareTranslation());
        EXPECT_EQ(german.lPolje->text(), "Polje");
        EXPECT_EQ(german.translator()->LanguageText, "");
    }
}

// The settings page and Ctrl+Shift+Alt+X save into the file start-up reads,
// so the next dialog follows them.
TEST(TranslatedDialog, SavedSettingsTakeEffectForTheNextDialog)
{
    TranslateHome home;
    auto s = home.database();
    seedEnglish(*s);
    home.settings("SLO", false, false);
    SampleDialog first;
    ASSERT_TRUE(first.prepareTranslation());
    {
        TFQuorPrevod manager(*first.translator());
        manager.showSettings();
        manager.eKoda->setText("ENG");
        manager.eOpis->setText("English");
        manager.bUpdateClick();
        manager.cbTranslate->setChecked(true);
        EXPECT_FALSE(manager.cbWriteMode->isChecked());
    }
    SampleDialog second;
    ASSERT_TRUE(second.prepareTranslation());
    EXPECT_EQ(second.lPolje->text(), "Field");
    EXPECT_EQ(second.translator()->Language, "ENG");

    auto* translator = second.findChild<QuorFormTranslator*>();
    ASSERT_TRUE(translator);
    translator->SwitchTranslationOff();
    SampleDialog third;
    ASSERT_TRUE(third.prepareTranslation());
    EXPECT_EQ(third.lPolje->text(), "Polje");
    EXPECT_FALSE(third.translator()->Translation);
}
