#include "collect/collection_run.h"
#include "collect/registry_fixture.h"
#include "db/error.h"
#include "support/test_engine.h"

#include <gtest/gtest.h>
#include <thread>

using namespace rek2;
using namespace rek2::collect;
using rek2::test::CollectFixture;

namespace {

// One workstation: its own session and window state, in its own thread (a
// connection is used only by the thread that opened it).
QString collectOn(const QString& database, const Settings& settings, const QDate& from, const QDate& to)
{
    try {
        Session session;
        session.LogonDatabase = database;
        session.LogOn();
        RekContext ctx;
        ctx.attachSession(&session);
        ctx.settings = settings;
        ctx.datumOd = from;
        ctx.datumDo = to;
        CollectionRun(ctx).bNaborClick();
        ctx.odsNabor.Close();
        ctx.odsREK2_Zbir.Close();
        ctx.odsKupon.Close();
        ctx.odsNaborREK2.Close();
        return {};
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

} // namespace

// Two workstations collect overlapping periods at the same moment. Whatever
// the interleaving, every payout is linked once per kind, every recipient
// has one analytic row and every link points to a row of a summary.
TEST(Concurrency, TwoWorkstationsCollectingAtOnceLinkEveryPayoutOnce)
{
    // SQLite serves one workstation; taking turns across transactions is the server's.
    if (!test::onPostgres())
        GTEST_SKIP() << "needs the PostgreSQL test cluster";
    CollectFixture f;
    const Settings settings = f.ctx.settings;
    const int rounds = 20;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(round);
        for (const char* table : {"REK2_DOG", "REK2_ANAL", "REK2_ZBIR"})
            f.db.exec(QStringLiteral("DELETE FROM ") + table);
        QString errorA, errorB;
        std::thread a(
            [&] { errorA = collectOn(f.db.path(), settings, QDate(2009, 6, 15), QDate(2009, 6, 15)); });
        std::thread b(
            [&] { errorB = collectOn(f.db.path(), settings, QDate(2009, 6, 1), QDate(2009, 6, 30)); });
        a.join();
        b.join();
        ASSERT_EQ(errorA, QString());
        ASSERT_EQ(errorB, QString());
        EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_DOG"), "10");
        EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM (SELECT ID_DOG, DAVCNI_ODTEGLJAJ FROM REK2_DOG "
                           "GROUP BY ID_DOG, DAVCNI_ODTEGLJAJ) X"),
                  "10");
        EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_ANAL"), "9");
        EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_ZBIR"), "6");
        EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_DOG L WHERE NOT EXISTS (SELECT 1 FROM REK2_ANAL A "
                           "JOIN REK2_ZBIR Z ON Z.ID_REK2_ZBIR = A.ID_REK2_ZBIR WHERE A.ID_REK2_ANAL = "
                           "L.ID_REK2_ANAL)"),
                  "0");
    }
}
