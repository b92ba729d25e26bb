// The import column mapping on the parameters tab, as the operator uses it.
#include "support/fixture_db.h"
#include "ui/dialogs.h"
#include "ui/tfrek.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using rek2::TfRek;

namespace {

QString savedLetters(rek2::test::FixtureDb& fx, const QString& column)
{
    QSqlQuery q(fx.db());
    EXPECT_TRUE(q.exec("SELECT " + column + " FROM REK2_IMPORT_PARAMS"));
    return q.next() ? q.value(0).toString() : QStringLiteral("(no row)");
}

// Typing as the operator does: the field changes and says it was edited.
void type(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    emit edit->textEdited(text);
}

} // namespace

// The panel shows the 19 fields with their captions; on an empty table the
// first typing starts the row, "Shrani" saves it with the letters in upper
// case, a wrong value is refused with the field's caption and not saved.
TEST(WindowImportParams, MappingPanelSavesCheckedLetters)
{
    rek2::test::FixtureDb fx{rek2::test::FixtureDb::Content::SifBasics};
    QTemporaryDir home;
    qputenv("REK2_HOME", home.path().toUtf8());
    QStringList dialogs;
    rek2::setDialogInterceptor([&dialogs](const rek2::DialogRequest& r) {
        dialogs << r.text;
        return 1;
    });
    {
        TfRek w({fx.path(), "operater", "geslo"});
        w.show();
        dialogs.clear(); // the missing INI file's notice
        w.PageControl1->setCurrentIndex(3);
        auto* form = qobject_cast<QFormLayout*>(w.pXLSParams->layout());
        ASSERT_NE(form, nullptr);
        const QStringList captions = {"Start podatkov",
                                      "Vrsta dohodka",
                                      "Datum izplačila",
                                      "Datum plačila davkov",
                                      "Davčna številka",
                                      "Ident. številka",
                                      "Priimek in ime",
                                      "Ime",
                                      "Priimek",
                                      "Rezidentstvo",
                                      "Država",
                                      "Uveljavljanje ugodnosti",
                                      "Oznaka vrste dohodka",
                                      "Bruto znesek",
                                      "Obračunani davčni odtegljaj",
                                      "Plačani davčni odtegljaj",
                                      "Odbitek tujega davka",
                                      "Kupon",
                                      "VP"};
        QStringList shown;
        for (auto* edit : w.pXLSParams->findChildren<QLineEdit*>()) {
            auto* label = qobject_cast<QLabel*>(form->labelForField(edit));
            ASSERT_NE(label, nullptr);
            shown << label->text();
            EXPECT_TRUE(edit->text().isEmpty());
        }
        EXPECT_EQ(shown, captions);

        auto* start = w.pXLSParams->findChild<QLineEdit*>("eSTART_PODATKOV");
        auto* date = w.pXLSParams->findChild<QLineEdit*>("eKOLONA_012");
        auto* firstName = w.pXLSParams->findChild<QLineEdit*>("eKOLONA_A003I");
        ASSERT_TRUE(start && date && firstName);
        type(start, "2");
        type(date, "1");
        type(firstName, "ab");
        w.bShraniXLSParams->click();
        ASSERT_EQ(dialogs.size(), 1) << dialogs.join("|").toStdString();
        EXPECT_TRUE(dialogs[0].startsWith("\"Datum izplačila\": \"1\"")) << dialogs[0].toStdString();
        EXPECT_EQ(savedLetters(fx, "KOLONA_A003I"), "(no row)");

        type(date, "b");
        w.bShraniXLSParams->click();
        EXPECT_EQ(dialogs.size(), 1) << dialogs.join('|').toStdString();
        EXPECT_EQ(firstName->text(), "AB");
        EXPECT_EQ(savedLetters(fx, "KOLONA_A003I"), "AB");

        // Reopening the tab shows what is saved; unsaved typing is dropped.
        type(firstName, "C");
        w.PageControl1->setCurrentIndex(0);
        w.PageControl1->setCurrentIndex(3);
        EXPECT_EQ(firstName->text(), "AB");
        EXPECT_EQ(date->text(), "B");
        w.close();
    }
    rek2::setDialogInterceptor(nullptr);
    qunsetenv("REK2_HOME");
}
