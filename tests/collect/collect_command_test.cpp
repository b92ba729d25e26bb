#include "batch/batch.h"
#include "collect/registry_fixture.h"

#include <QTextStream>
#include <gtest/gtest.h>

using rek2::test::CollectFixture;

namespace {

struct Result
{
    int code = -1;
    QString out, err;
};

Result runBatch(CollectFixture& f, const QStringList& args)
{
    Result r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    rek2::batch::BatchContext ctx;
    ctx.out = &out;
    ctx.err = &err;
    rek2::batch::loadInstallation(ctx, f.db.folder() + "/");
    ctx.settings.VplPodracun.clear();
    r.code = rek2::batch::runBatch(ctx, QStringList{f.db.path(), "USER", "PASS"} + args);
    out.flush();
    err.flush();
    return r;
}

} // namespace

TEST(CollectCommand, PrintsTheSummariesOfTheDay)
{
    CollectFixture f;
    const Result r = runBatch(f, {"collect", "--from", "2009-06-15"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(
        lines[0],
        "ID_REK2_ZBIR\tSFVP\tSTKPN\tCORRECTIONTYPE\tSIF_VRSTE_DOH\tDATUM_IZP\tDATUM_PLC_DVK\tZAPST_DEL\t"
        "STZAP_REZ\tSTZAP_NEREZ\tNETO\tDOH\tDOH_NEREZ\tDAV_OSN\tDAV_ODT\tSTOPNJA\tDAV_TUJ\tDAV_ZNZ_STP\t"
        "DAV_ZNZ_OSN\tSKUPAJ");
    // In the order of the summary view (kind of income, payout date, tax
    // date), identifiers left out.
    for (auto& line : lines)
        line = line.section('\t', 1);
    EXPECT_EQ(
        lines.mid(1),
        (QStringList{
            "TUJB\t2\tO\t1901\t2009-06-15\t2009-06-15\t1\t1\t0\t37.50\t50.00\t0.00\t50.00\t12.50\t25.00\t"
            "0.00\t0.00\t0.00\t12.50",
            "RS33\t3\tO\t1901\t2009-06-15\t\t1\t1\t0\t40.00\t40.00\t0.00\t40.00\t0.00\t25.00\t0.00\t"
            "0.00\t0.00\t0.00",
            "SOS2E_S\t7\tO\t1902\t2009-06-15\t2009-06-15\t1\t1\t0\t112.50\t150.00\t0.00\t150.00\t"
            "37.50\t25.00\t0.00\t0.00\t0.00\t37.50",
            "KRKG\t15\tO\t1920\t2009-06-15\t2009-06-15\t1\t3\t0\t290.00\t350.00\t0.00\t350.00\t"
            "60.00\t20.00\t0.00\t10.00\t100.00\t60.00",
            "OMV\t21\tO\t1920\t2009-06-15\t2009-06-15\t1\t2\t0\t98.76\t123.45\t0.00\t123.45\t24.69\t"
            "20.00\t0.01\t0.00\t0.00\t24.68",
            "KRKG\t16\tO\t1920\t2009-06-15\t\t1\t1\t0\t64.00\t80.00\t0.00\t80.00\t16.00\t20.00\t0.00\t"
            "0.00\t0.00\t16.00",
        }));
}

TEST(CollectCommand, DuplicatesEndTheRunUnlessIgnored)
{
    CollectFixture f;
    f.addHolderPayout(106, "Anja", "Novak", "11111111", "S", 8, 1030, 4);

    Result r = runBatch(f, {"collect", "--from", "2009-06-15", "--to", "2009-06-15"});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains("Podvojene davčne številke:\n\n11111111 (2)")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());

    r = runBatch(f, {"collect", "--from", "2009-06-15", "--ignore-duplicates"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count('\n'), 7); // Anja joins Ana's return

    r = runBatch(f, {"collect", "--from", "15.06.2009"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "Neveljaven datum za --from: 15.06.2009 (oblika LLLL-MM-DD).\n");
    r = runBatch(f, {"collect"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "Manjka možnost --from.\n");
}
