// The life of one return through the batch commands on a small demo
// registry: collect, write, take back and write again, number, correct,
// write the correction, cancel, write the cancellation. After each step the
// tables and both folders are checked.
#include "base/settings.h"
#include "batch/run_batch.h"
#include "db/session.h"
#include "edit/qstring_print.h"
#include "returns/settings_db.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using rek2::test::BatchRun;
using rek2::test::runBatchCommand;

namespace {

// The last working day at least `back` days before today.
QDate workingDayBefore(int back)
{
    QDate d = QDate::currentDate().addDays(-back);
    while (d.dayOfWeek() > 5)
        d = d.addDays(-1);
    return d;
}

class Lifecycle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        day_ = workingDayBefore(3);
        const BatchRun r = batch({"init", "--demo", "--holders", "4", "--days", "1", "--from",
                                  day_.toString(Qt::ISODate), "--seed", "3"});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        QDir(home_.path()).mkpath("xml");
        QDir(home_.path()).mkpath("arhiv");
        db_ = QSqlDatabase::addDatabase("QSQLITE", "lifecycle");
        db_.setDatabaseName(home_.filePath("demo.db"));
        ASSERT_TRUE(db_.open());
        // The payer's tax number as the commands read it.
        rek2::Session session;
        session.LogonDatabase = home_.filePath("demo.db");
        session.LogOn();
        rek2::Settings settings;
        rek2::loadDatabaseSettings(session, settings);
        payer_ = settings.DvsIzp;
        ASSERT_FALSE(payer_.isEmpty());
    }
    void TearDown() override
    {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase("lifecycle");
    }

    BatchRun batch(const QStringList& command)
    {
        return runBatchCommand(QStringList{home_.filePath("demo.db"), "operater", "geslo"} + command,
                               home_.path());
    }
    QVariant scalar(const QString& sql)
    {
        QSqlQuery q(db_);
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << q.lastError().text().toStdString();
        return q.next() ? q.value(0) : QVariant();
    }
    int count(const QString& sql) { return scalar(sql).toInt(); }
    QStringList files(const char* folder)
    {
        return QDir(home_.filePath(folder)).entryList(QDir::Files, QDir::Name);
    }

    // The first column of the data lines of a command that prints summaries.
    static QStringList firstColumn(const QString& out)
    {
        QStringList ids;
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        for (int i = 1; i < lines.size(); ++i)
            ids << lines[i].section('\t', 0, 0);
        return ids;
    }
    // SUPERSEDED of one summary in the history of the demo day.
    QString superseded(int id)
    {
        const BatchRun r = batch({"history", "--from", day_.toString(Qt::ISODate)});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts))
            if (line.section('\t', 0, 0) == QString::number(id))
                return line.section('\t', -1);
        return QStringLiteral("?");
    }
    BatchRun writeXml(int id, const QDate& to = QDate())
    {
        QStringList args{"xml", "--from", day_.toString(Qt::ISODate)};
        if (to.isValid())
            args << "--to" << to.toString(Qt::ISODate);
        return batch(args << QString::number(id));
    }

    QTemporaryDir home_;
    QSqlDatabase db_;
    QDate day_;
    QString payer_;
};

TEST_F(Lifecycle, CollectWriteRestoreNumberCorrectCancel)
{
    // Collect; take the first original return of the day.
    BatchRun r = batch({"collect", "--from", day_.toString(Qt::ISODate), "--ignore-duplicates"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList ids = firstColumn(r.out);
    ASSERT_FALSE(ids.isEmpty()) << r.out.toStdString();
    const int s1 = ids.first().toInt();
    const int rows = count(QString("SELECT COUNT(*) FROM REK2_ANAL WHERE ID_REK2_ZBIR = %1").arg(s1));
    ASSERT_GT(rows, 0);
    const QString rowsOfS1 =
        QString("SELECT ID_REK2_ANAL FROM REK2_ANAL_HST WHERE ID_REK2_ZBIR = %1").arg(s1);

    // Write it.
    r = writeXml(s1);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString file = r.out.section('\n', 0, 0);
    ASSERT_TRUE(file.endsWith(".xml")) << r.out.toStdString();
    EXPECT_EQ(files("xml"), QStringList{file});
    EXPECT_EQ(count(QString("SELECT COUNT(*) FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = %1").arg(s1)), 1);
    EXPECT_EQ(count(QString("SELECT COUNT(*) FROM REK2_DOG WHERE XML_FILE = '%1'").arg(file)),
              count(QString("SELECT COUNT(*) FROM REK2_DOG WHERE ID_REK2_ANAL IN (%1)").arg(rowsOfS1)));

    // Take it back, twice, so the second archive copy gets the next free name.
    const QString stem = file.chopped(4);
    for (const QString& archived : {stem + "_neuspesan.xml", stem + "_neuspesan_2.xml"}) {
        r = batch({"restore", QString::number(s1)});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains("-> " + home_.filePath("arhiv/" + archived))) << r.out.toStdString();
        EXPECT_TRUE(files("xml").isEmpty());
        EXPECT_TRUE(files("arhiv").contains(archived));
        EXPECT_EQ(count(QString("SELECT COUNT(*) FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = %1").arg(s1)), 0);
        EXPECT_EQ(count(QString("SELECT COUNT(*) FROM REK2_ANAL_HST WHERE ID_REK2_ZBIR = %1").arg(s1)), 0);
        EXPECT_EQ(scalar(QString("SELECT CORRECTIONTYPE FROM REK2_ZBIR WHERE ID_REK2_ZBIR = %1").arg(s1))
                      .toString(),
                  "O");
        EXPECT_EQ(count(QString("SELECT COUNT(*) FROM REK2_ANAL WHERE ID_REK2_ZBIR = %1").arg(s1)), rows);
        EXPECT_EQ(
            count(QString("SELECT COUNT(*) FROM REK2_DOG WHERE XML_FILE IS NOT NULL AND ID_REK2_ANAL IN "
                          "(SELECT ID_REK2_ANAL FROM REK2_ANAL WHERE ID_REK2_ZBIR = %1)")
                      .arg(s1)),
            0);
        // Written again under the same name.
        r = writeXml(s1);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(r.out.section('\n', 0, 0), file);
        EXPECT_EQ(files("xml"), QStringList{file});
    }
    EXPECT_EQ(files("arhiv"), QStringList({stem + "_neuspesan.xml", stem + "_neuspesan_2.xml"}));

    // Record its number: bad form and a number used elsewhere are refused.
    const QString n1 = "EDP-" + payer_ + "-1'A";
    r = batch({"docnum", QString::number(s1), "EDP-99999999-1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("ni pravilnog formata")) << r.err.toStdString();
    r = batch({"docnum", QString::number(s1), n1});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(
        r.out,
        QString("Posodobljenih analitik: %1\nPosodobljenih povezav: %2\n")
            .arg(rows)
            .arg(count(QString("SELECT COUNT(*) FROM REK2_DOG WHERE ID_REK2_ANAL IN (%1)").arg(rowsOfS1))));
    EXPECT_EQ(
        count(QString("SELECT COUNT(*) FROM REK2_ANAL_HST WHERE DURS_ID_DOK = 'EDP-%1-1''A'").arg(payer_)),
        rows);
    EXPECT_EQ(
        count(QString("SELECT COUNT(*) FROM REK2_DOG WHERE DURS_ID_DOK = 'EDP-%1-1''A' AND XML_FILE = '%2'")
                  .arg(payer_, file)),
        count(QString("SELECT COUNT(*) FROM REK2_DOG WHERE ID_REK2_ANAL IN (%1)").arg(rowsOfS1)));
    r = batch({"restore", QString::number(s1)});
    EXPECT_EQ(r.code, 1) << "a numbered return is not taken back";
    EXPECT_EQ(superseded(s1), "N");

    // Correct it; a second correction while the first is pending is refused.
    r = batch({"popravek", QString::number(s1)});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList made = firstColumn(r.out);
    ASSERT_EQ(made.size(), 1) << r.out.toStdString();
    const int s2 = made.first().toInt();
    EXPECT_NE(s2, s1);
    EXPECT_EQ(r.out.split('\n')[1].section('\t', 3, 3), "X");
    EXPECT_EQ(scalar(QString("SELECT CORRECTIONFORDOCUMENT || '|' || CORRECTIONFORANALITICALDATA || '|' || "
                             "COALESCE(DURS_ID_DOK, '-') FROM REK2_ZBIR WHERE ID_REK2_ZBIR = %1")
                         .arg(s2))
                  .toString(),
              n1 + "|" + n1 + "|-");
    EXPECT_EQ(
        count(QString("SELECT COUNT(*) FROM REK2_ANAL WHERE ID_REK2_ZBIR = %1 AND ID_REK2_ANAL NOT IN (%2)")
                  .arg(s2)
                  .arg(rowsOfS1)),
        rows);
    EXPECT_EQ(
        count(QString("SELECT COUNT(*) FROM REK2_DOG D JOIN REK2_ANAL A ON A.ID_REK2_ANAL = D.ID_REK2_ANAL "
                      "WHERE A.ID_REK2_ZBIR = %1 AND D.STATUS = 'X' AND D.XML_FILE IS NULL AND "
                      "D.DURS_ID_DOK IS NULL")
                  .arg(s2)),
        count(QString("SELECT COUNT(*) FROM REK2_DOG WHERE ID_REK2_ANAL IN (%1)").arg(rowsOfS1)));
    r = batch({"popravek", QString::number(s1)});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("Popravke dokumenta že obstaja!")) << r.err.toStdString();

    // Write the correction: its kind is determined ('P', within 30 days).
    const QDate plc =
        scalar(QString("SELECT DATUM_PLC_DVK FROM REK2_ZBIR WHERE ID_REK2_ZBIR = %1").arg(s2)).toDate();
    r = writeXml(s2, plc.isValid() ? plc : day_);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString correctionFile = r.out.section('\n', 0, 0);
    EXPECT_TRUE(correctionFile.contains(QString("_X_%1_").arg(s2))) << r.out.toStdString();
    EXPECT_EQ(scalar(QString("SELECT CORRECTIONTYPE FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = %1").arg(s2))
                  .toString(),
              "P");
    EXPECT_EQ(superseded(s1), "D");
    EXPECT_EQ(superseded(s2), "N");

    // Taken back unnumbered, the correction works again as 'X' and is
    // written as 'P' again.
    r = batch({"restore", QString::number(s2)});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(
        scalar(QString("SELECT CORRECTIONTYPE FROM REK2_ZBIR WHERE ID_REK2_ZBIR = %1").arg(s2)).toString(),
        "X");
    r = writeXml(s2, plc.isValid() ? plc : day_);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(scalar(QString("SELECT CORRECTIONTYPE FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = %1").arg(s2))
                  .toString(),
              "P");

    // Number the correction, then cancel the original: the cancellation
    // refers to the newest member of the chain, the correction.
    const QString n2 = "EDP-" + payer_ + "-2";
    r = batch({"docnum", QString::number(s2), n1});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("že obstaja!")) << r.err.toStdString();
    ASSERT_EQ(batch({"docnum", QString::number(s2), n2}).code, 0);
    r = batch({"storno", QString::number(s1)});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const int s3 = firstColumn(r.out).value(0).toInt();
    EXPECT_EQ(scalar(QString("SELECT CORRECTIONTYPE || '|' || CORRECTIONFORDOCUMENT FROM REK2_ZBIR WHERE "
                             "ID_REK2_ZBIR = %1")
                         .arg(s3))
                  .toString(),
              "S|" + n2);
    EXPECT_EQ(
        count(QString("SELECT COUNT(*) FROM REK2_DOG D JOIN REK2_ANAL A ON A.ID_REK2_ANAL = D.ID_REK2_ANAL "
                      "WHERE A.ID_REK2_ZBIR = %1 AND D.STATUS = 'S'")
                  .arg(s3)),
        count(QString("SELECT COUNT(*) FROM REK2_DOG WHERE ID_REK2_ANAL IN (%1)").arg(rowsOfS1)));
    r = writeXml(s3, plc.isValid() ? plc : day_);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.section('\n', 0, 0).contains(QString("_S_%1_").arg(s3))) << r.out.toStdString();
    EXPECT_EQ(scalar(QString("SELECT CORRECTIONTYPE FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = %1").arg(s3))
                  .toString(),
              "S");
    EXPECT_EQ(superseded(s1), "D");
    EXPECT_EQ(superseded(s2), "D");
    EXPECT_EQ(superseded(s3), "N");
    EXPECT_EQ(files("xml").size(), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM REK2_ZBIR"), ids.size() - 1);

    // A cancellation is neither cancelled nor corrected.
    ASSERT_EQ(batch({"docnum", QString::number(s3), "EDP-" + payer_ + "-3"}).code, 0);
    r = batch({"storno", QString::number(s3)});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("Storno dokumenta tipa S ni mogoč.")) << r.err.toStdString();
}

} // namespace
