#pragma once
#include "base/debuglog.h"
#include "db/session.h"
#include "returns/context.h"
#include "support/fixture_db.h"
#include "support/scripted_operator.h"
#include "xmlreturn/xml_return_run.h"

#include <QDate>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace rek2::test {

// A small registry of three summaries, written on "today" 2026-12-10:
//  101 cancellation 'S' of 30.11.2026 (residents, a non-resident with a
//      foreign number only, a one-word name, "&", Slovenian letters; one row
//      already reported in an earlier file);
//  102 correction 'X' paid 100 days ago, its corrected return in history with
//      the same amount to pay; its rows lie outside the collection pickers;
//  103 original 'O', not selected by default.
class XmlRunFixture : public ::testing::Test
{
protected:
    void SetUp() override;

    // Opens the two grids as a collection of 30.11.2026 would have.
    void openGrids(const QString& ids = QStringLiteral("101, 102, 103"));
    XmlRunResult runXml(const QList<int>& selected, bool all = false);
    QString xmlFolder() const { return out_.filePath(QStringLiteral("xml")) + QLatin1Char('/'); }
    QStringList folderEntries() const;
    QVariant scalar(const QString& sql);
    QString logText() const;

    FixtureDb db_{FixtureDb::Content::SifBasics};
    QTemporaryDir out_;
    Session session_;
    RekContext ctx_;
    ScriptedOperator op_;
    DebugLog log_;
    QString userName_ = QStringLiteral("TESTER");
};

} // namespace rek2::test
