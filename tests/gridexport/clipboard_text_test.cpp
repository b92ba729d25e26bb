#include "gridexport/clipboard_text.h"
#include "gridexport/progress.h"
#include "sample_rows.h"

#include <gtest/gtest.h>

using rek2::test::SampleRows;

namespace {

const QString kHeader = QStringLiteral("Šifra\tNaziv prejemnika\tZnesek\tDatum\t");

} // namespace

TEST(ClipboardText, CaptionHeaderAndRowsWithQuotingRules)
{
    SampleRows s({
        {1, QStringLiteral("prvi"), 1234.5, QDate(2026, 3, 1)},
        {2, QStringLiteral("reče \"da\"\r\nin gre"), -0.5, QVariant()},
        {3, QStringLiteral("tab\there"), QVariant(), QDate(2026, 12, 31)},
        {4, QVariant(), 20.0, QVariant()},
    });
    const QString text = rek2::clipboardText(s.ds, s.columns(), QStringLiteral("Analitika"));
    const QString expected = QStringLiteral("Analitika\r\n") + kHeader +
                             QStringLiteral("\r\n1\t\"prvi\"\t1.234,50\t01.03.2026\t"
                                            // CR dropped, LF kept inside the quotes, inner quotes doubled
                                            "\r\n2\t\"reče \"\"da\"\"\nin gre\"\t-0,50\t\t"
                                            // TAB dropped; a NULL number is empty and unquoted
                                            "\r\n3\t\"tabhere\"\t\t31.12.2026\t"
                                            // a NULL text is still a quoted (empty) text
                                            "\r\n4\t\"\"\t20,00\t\t");
    EXPECT_EQ(text, expected);
}

TEST(ClipboardText, EmptyDataSetGivesTwoLinesAndNoCaptionGivesAnEmptyFirstLine)
{
    SampleRows s({});
    EXPECT_EQ(rek2::clipboardText(s.ds, s.columns(), QString()), QStringLiteral("\r\n") + kHeader);
}

TEST(ClipboardText, CancelStopsTheCopy)
{
    struct CancelAtTwo : rek2::Progress
    {
        int steps = 0;
        QString title;
        int maximum = -1;
        void start(const QString& t, int m) override { title = t, maximum = m; }
        void step() override
        {
            if (++steps == 2)
                throw rek2::OperationCancelled();
        }
        void close() override {}
    } progress;
    SampleRows s({{1, QStringLiteral("a"), 1.0, QVariant()},
                  {2, QStringLiteral("b"), 2.0, QVariant()},
                  {3, QStringLiteral("c"), 3.0, QVariant()}});
    EXPECT_THROW(rek2::clipboardText(s.ds, s.columns(), QString(), &progress), rek2::OperationCancelled);
    EXPECT_EQ(progress.title, QStringLiteral("Copy to clipboard"));
    EXPECT_EQ(progress.maximum, 3);
    EXPECT_EQ(progress.steps, 2);
}
