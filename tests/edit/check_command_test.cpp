#include "batch/check_command.h"
#include "edit_db.h"
#include "support/test_engine.h"

#include <gtest/gtest.h>

using namespace rek2;

namespace {

struct CheckRun
{
    int code = -1;
    QString out, err;
};

CheckRun check(const QString& db, const QStringList& options)
{
    CheckRun r;
    QTextStream out(&r.out), err(&r.err);
    batch::BatchContext ctx;
    ctx.out = &out;
    ctx.err = &err;
    r.code = batch::runBatch(ctx, QStringList{db, "user", "pass", "check"} + options);
    return r;
}

TEST(CheckCommand, FindingsOfTheRowsTheAnalyticGridShows)
{
    test::EditDb db;
    db.exec(test::analRow(1, 0)); // passes
    db.exec(test::analRow(2, 0)); // type 1920: listed first
    db.exec("UPDATE REK2_ANAL SET SIF_VRSTE_DOH = '1920', REZ = 'N' WHERE ID_REK2_ANAL = 2");
    db.exec(test::analRow(3, 0)); // bad, but already in a file
    db.exec("UPDATE REK2_ANAL SET SIF_VRSTE_DOH = NULL WHERE ID_REK2_ANAL = 3");
    db.exec("INSERT INTO REK2_DOG (ID_REK2_ANAL, ID_DOG, XML_FILE) VALUES (3, 1, 'a.xml')");
    db.exec(test::analRow(4, 0)); // bad, on the next day
    db.exec("UPDATE REK2_ANAL SET SIF_VRSTE_DOH = NULL, DATUM_IZP_DIV = '2026-12-11' WHERE ID_REK2_ANAL = 4");
    db.exec(test::analRow(5, 0)); // no income type
    db.exec("UPDATE REK2_ANAL SET SIF_VRSTE_DOH = NULL, DVS = NULL WHERE ID_REK2_ANAL = 5");

    const CheckRun r = check(db.fx.path(), {"--from", "2026-12-10"});
    EXPECT_EQ(r.code, 4) << r.err.toStdString();
    EXPECT_EQ(r.out, QString::fromUtf8(
                         "\r\nZa ID:2 manjka država za nerezidenta!"
                         "\r\nZa ID:2 napačna kombinacija vrste dohodka 1920 in oznake vrste dohodka 5400 !"
                         "\r\nZa ID:5 manjka davčna ali identifikacijska številka!"
                         "\r\nNiso nafilani vsi podatki!\n"));

    // The next day alone, after the row is mended.
    db.exec("UPDATE REK2_ANAL SET SIF_VRSTE_DOH = '1901' WHERE ID_REK2_ANAL = 4");
    const CheckRun clean = check(db.fx.path(), {"--from", "2026-12-11", "--to", "2026-12-11"});
    EXPECT_EQ(clean.code, 0);
    EXPECT_TRUE(clean.out.isEmpty());
}

// A gross of infinity (a quantity of 1e308 collected) is reported, not
// passed on to be written as 0.00.
TEST(CheckCommand, AmountsThatAreNotFiniteNumbers)
{
    test::EditDb db;
    db.exec(test::analRow(1, 0));
    db.exec("UPDATE REK2_ANAL SET BRUTO = " + test::infinity() +
            ", DAV_ODT_OBR = -1e13 WHERE ID_REK2_ANAL = 1");
    const CheckRun r = check(db.fx.path(), {"--from", "2026-12-10"});
    EXPECT_EQ(r.code, 4) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\r\nZa ID:1 neveljaven znesek BRUTO (inf)!")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\r\nZa ID:1 neveljaven znesek DAV_ODT_OBR (-1e+13)!")) << r.out.toStdString();
}

TEST(CheckCommand, WrongArgumentsAndMissingDatabase)
{
    test::EditDb db;
    const struct
    {
        QStringList args;
        const char* message;
    } wrong[] = {
        {{}, "Manjka možnost --from."},
        {{"--from", "10.12.2026"}, "Neveljaven datum za --from: 10.12.2026 (oblika LLLL-MM-DD)."},
        {{"--from", "2026-12-10", "--to", "2026-12-09"}, "Datum --to je pred datumom --from."},
        {{"--from", "2026-12-10", "--do", "2026-12-11"}, "Neznana možnost: --do"},
    };
    for (const auto& w : wrong) {
        const CheckRun r = check(db.fx.path(), w.args);
        EXPECT_EQ(r.code, 2) << w.message;
        EXPECT_EQ(r.err.trimmed(), QString::fromUtf8(w.message));
        EXPECT_TRUE(r.out.isEmpty());
    }
    const QString path = db.fx.folder() + "/ni.db";
    const CheckRun missing = check(path, {"--from", "2026-12-10"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err.trimmed(), "Baza podatkov ne obstaja: " + path);
}

} // namespace
