#include "collect/registry_fixture.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

namespace rek2::test {

void insertRegistry(FixtureDb& db)
{
    const QStringList sql = {
        "INSERT INTO DRZ VALUES ('S', 'Slovenija', 'SI'), ('A', 'Avstrija', 'AT')",
        "INSERT INTO DVK_STP VALUES ('S', 'D', '2000-01-01', 25), ('S', 'D', '2007-01-01', 20), "
        "('S', 'O', '2000-01-01', 25), ('A', 'D', '2000-01-01', 15)",
        "INSERT INTO EUROOBD VALUES ('ES', '2007-01-01', 978)",
        "INSERT INTO OSB (SFOSB, NZV, IME, NSL, DVS, DVSTUJ, DVSZDA, SFDRZ, SFDRZDVK, SFSOS) VALUES "
        "(2, 'Klirinška družba', NULL, 'Tivolska 48, Ljubljana', '12345678', NULL, NULL, 'S', NULL, 'P'),"
        "(10, 'Krka', NULL, 'Novo mesto', '90000001', NULL, NULL, 'S', NULL, 'P'),"
        "(11, 'OMV', NULL, 'Dunaj', NULL, NULL, NULL, 'A', NULL, 'P'),"
        "(100, 'Novak', 'Ana', 'Ljubljana', '11111111', NULL, NULL, 'S', NULL, 'F'),"
        "(101, 'Kranjc', 'Bor', 'Kranj', '22222222', NULL, NULL, 'S', NULL, 'F'),"
        "(102, 'Müller', 'Hans', 'Graz', NULL, 'AT-123', NULL, 'A', NULL, 'F'),"
        "(103, 'Zupan', 'Cene', 'Celje', '33333333', NULL, NULL, 'S', NULL, 'F'),"
        "(104, 'Kos', 'Dana', 'Beljak', '44444444', NULL, NULL, 'A', 'S', 'F'),"
        "(105, 'Trgovina d.o.o.', NULL, 'Maribor', '55555555', NULL, NULL, 'S', NULL, 'P')",
        "INSERT INTO POG VALUES (1, 100), (2, 101), (3, 103), (4, 103), (5, 102), (6, 104), (7, 105)",
        "INSERT INTO SFVP (SFVP, KRT, NZV, SFGLVENT, SFOSBIZD) VALUES (1, 'KRKG', 'Krka', NULL, 10), "
        "(2, 'SOS2E_S', 'Obveznica', NULL, 10), (3, 'RS33', 'Obveznica RS', '%', 10), (4, 'OMV', 'OMV', "
        "NULL, 11), "
        "(5, 'TUJB', 'Tuja obveznica', NULL, 11)",
        "INSERT INTO KPN (SFKPN, SFVP, SFOBR, OBROBRBRT, STKPN) VALUES (501, 1, 'D', 2.00, 15), "
        "(502, 2, 'O', 1.50, 7), (503, 3, 'O', NULL, 3), (504, 4, 'D', 1.00, 21), (505, 5, 'O', 0.50, 2), "
        "(506, 1, 'D', 1.00, 16)",
        // Payouts.
        "INSERT INTO DOG (IDDOG, SFDOG, SFPDG, DAN, IDPOG, SFKPN, SFVP, LOT, TCJVLT, OBRVLT, SFGLVENT, "
        "IDDOGGOT, "
        "DAVEKRAZP, DAVEKRAZPOBR) VALUES "
        "(1001, '500', '=', '2009-06-15', 1, 501, 1, 100, 1, 2, NULL, NULL, NULL, NULL),"
        "(1002, '500', '=', '2009-06-15', 3, 501, 1, 10, 1, 2, NULL, NULL, NULL, NULL),"
        "(1003, '500', '=', '2009-06-15', 4, 501, 1, 15, 1, 2, NULL, NULL, NULL, NULL),"
        "(1004, '500', '=', '2009-06-15', 5, 501, 1, 50, 1, 2, NULL, NULL, NULL, NULL),"
        "(1005, '500', '=', '2009-06-15', 5, 502, 2, 100, 1, 1.5, NULL, NULL, NULL, NULL),"
        "(1006, '500', '=', '2009-06-15', 2, 502, 2, 100, 1, 1.5, NULL, NULL, NULL, NULL),"
        "(1007, '500', '=', '2009-06-15', 2, 505, 5, 100, 1, 0.5, NULL, NULL, NULL, NULL),"
        "(1008, '500', '=', '2009-06-15', 1, 503, 3, 10, 1, 3, '%', 1108, NULL, NULL),"
        "(1009, '500', '=', '2009-06-15', 6, 504, 4, 61.73, 1, 1, NULL, NULL, NULL, NULL),"
        "(1010, '500', '=', '2009-06-15', 1, 504, 4, 61.72, 1, 1, NULL, NULL, NULL, NULL),"
        "(1011, '500', '=', '2009-06-15', 2, 501, 1, 50, 1, 2, NULL, NULL, 25, 10),"
        "(1012, '500', '=', '2009-06-15', 1, 506, 1, 80, 1, 1, NULL, NULL, NULL, NULL),"
        "(1013, '500', '=', '2009-06-15', 7, 501, 1, 30, 1, 2, NULL, NULL, NULL, NULL),"
        "(1014, '500', '=', '2009-06-15', 6, 501, 1, 5, 1, 0, NULL, NULL, NULL, NULL)",
        // The companion event of the bond quoted in percent: interest and revaluation per unit.
        "INSERT INTO DOG (IDDOG, SFDOG, SFPDG, DAN, IDPOG, SFVP, OBRVLT, REVVLT) VALUES "
        "(1108, '510', 'O', '2009-06-15', 1, 3, 3, 1)",
        // Withholding events: tax in LOT (currency) and GOT (cash, negative).
        "INSERT INTO DOG (IDDOG, SFDOG, SFPDG, DAN, ZPD, IDPOG, LOT, TCJVLT, GOT, SFVPGOT) VALUES "
        "(2001, '601', '-', '2009-06-15', '2009-06-15', 1, -40, 1, -40, 978),"
        "(2002, '601', '-', '2009-06-15', '2009-06-15', 3, -4, 1, -4, 978),"
        "(2003, '601', '-', '2009-06-15', '2009-06-15', 4, -6, 1, -6, 978),"
        "(2004, '601', '-', '2009-06-15', '2009-06-15', 5, -15, 1, -15, 978),"
        "(2005, '601', '-', '2009-06-15', '2009-06-15', 5, -37.5, 1, -37.5, 978),"
        "(2006, '601', '-', '2009-06-15', '2009-06-15', 2, -37.5, 1, -37.5, 978),"
        "(2007, '601', '-', '2009-06-15', '2009-06-15', 2, -12.5, 1, -12.5, 978),"
        "(2009, '601', '-', '2009-06-15', '2009-06-15', 6, -12.34, 1, -12.34, 840),"
        "(2010, '601', '-', '2009-06-15', '2009-06-15', 1, -12.34, 1, -12.34, 840),"
        "(2011, '601', '-', '2009-06-15', '2009-06-15', 2, -10, 1, -10, 978),"
        "(2012, '601', '-', '2009-07-10', '2009-07-10', 1, -16, 1, -16, 978),"
        "(2013, '601', '-', '2009-06-15', '2009-06-15', 7, -6, 1, -6, 978)",
        "INSERT INTO DOGLNK VALUES (1001, 2001, 'R'), (1002, 2002, 'R'), (1003, 2003, 'R'), (1004, 2004, "
        "'R'), "
        "(1005, 2005, 'R'), (1006, 2006, 'R'), (1007, 2007, 'R'), (1009, 2009, 'R'), (1010, 2010, 'R'), "
        "(1011, 2011, 'R'), (1012, 2012, 'R'), (1013, 2013, 'R'), (1008, 1108, 'G')",
    };
    for (const auto& s : sql)
        db.exec(s);
}

CollectFixture::CollectFixture()
{
    insertRegistry(db);
    session.LogonDatabase = db.path();
    session.LogOn();
    log.setFile(db.folder() + QStringLiteral("/Log.txt"));
    log.setDebug(1);
    ctx.attachSession(&session);
    ctx.log = &log;
    ctx.op = &op;
    ctx.settings.VplPodracun = QStringLiteral("SI56011008881000030");
    period(QDate(2009, 6, 15), QDate(2009, 6, 15));
}

CollectFixture::~CollectFixture()
{
    ctx.odsNabor.Close();
    ctx.odsREK2_Zbir.Close();
    ctx.odsKupon.Close();
    ctx.odsNaborREK2.Close();
    session.LogOff();
}

void CollectFixture::period(const QDate& from, const QDate& to)
{
    ctx.datumOd = from;
    ctx.datumDo = to;
}

void CollectFixture::addHolderPayout(int osb, const QString& ime, const QString& nzv, const QString& dvs,
                                     const QString& country, int pog, int payout, double tax)
{
    db.exec(
        QStringLiteral("INSERT INTO OSB (SFOSB, NZV, IME, DVS, SFDRZ, SFSOS) VALUES (%1, '%2', '%3', '%4', "
                       "'%5', 'F')")
            .arg(osb)
            .arg(nzv, ime, dvs, country));
    db.exec(QStringLiteral("INSERT INTO POG VALUES (%1, %2)").arg(pog).arg(osb));
    db.exec(
        QStringLiteral("INSERT INTO DOG (IDDOG, SFDOG, SFPDG, DAN, IDPOG, SFKPN, SFVP, LOT, TCJVLT, OBRVLT) "
                       "VALUES (%1, '500', '=', '2009-06-15', %2, 501, 1, 10, 1, 2)")
            .arg(payout)
            .arg(pog));
    db.exec(
        QStringLiteral("INSERT INTO DOG (IDDOG, SFDOG, SFPDG, DAN, ZPD, IDPOG, LOT, TCJVLT, GOT, SFVPGOT) "
                       "VALUES (%1, '601', '-', '2009-06-15', '2009-06-15', %2, %3, 1, %3, 978)")
            .arg(payout + 1000)
            .arg(pog)
            .arg(-tax));
    db.exec(QStringLiteral("INSERT INTO DOGLNK VALUES (%1, %2, 'R')").arg(payout).arg(payout + 1000));
}

QStringList CollectFixture::logLines() const
{
    QFile f(log.filePath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList out;
    for (const auto& line : QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        out << line.mid(21); // after "dd.MM.yyyy HH:mm:ss: "
    return out;
}

namespace {

QString render(const QVariant& v, bool amount)
{
    if (v.isNull())
        return QString();
    if (amount)
        return QString::number(v.toDouble(), 'f', 2);
    return v.toString();
}

QStringList rows(FixtureDb& db, const QString& sql, const QSet<QString>& amounts)
{
    QSqlQuery q(db.db());
    if (!q.exec(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return {};
    }
    QStringList out;
    while (q.next()) {
        QStringList fields;
        const QSqlRecord rec = q.record();
        for (int i = 0; i < rec.count(); ++i)
            fields << render(q.value(i), amounts.contains(rec.fieldName(i).toUpper()));
        out << fields.join(QLatin1Char('|'));
    }
    return out;
}

} // namespace

QStringList CollectFixture::analyticRows()
{
    return rows(
        db,
        "SELECT NAZIV, DVS, IDENT_ST, REZ, DRZ, UGO_MED_POG, SIF_SFDOH, BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, "
        "DAV_ODT_ODB_TUJ, SIF_VRSTE_DOH, DATUM_IZP_DIV, DATUM_PLC_DVK, STATUS, SFKPN, SFVP, IME, PRIIMEK, "
        "ZNIZANASTOPNJA, DURS_ID_DOK FROM REK2_ANAL ORDER BY NAZIV, SFKPN, DATUM_PLC_DVK IS NULL, "
        "DATUM_PLC_DVK",
        {"BRUTO", "DAV_ODT_OBR", "DAV_ODT_PLC", "DAV_ODT_ODB_TUJ"});
}

QStringList CollectFixture::summaryRows()
{
    return rows(
        db,
        "SELECT SFKPN, SFVP, SIF_VRSTE_DOH, DATUM_IZP, DATUM_PLC_DVK, MESEC_LETO, CORRECTIONTYPE, ZAPST_DEL, "
        "STZAP_REZ, STZAP_NEREZ, NETO, DOH, DOH_NEREZ, DOH_BREZ_DAVODT, DAV_OSN, DAV_ODT, STOPNJA, DAV_TUJ, "
        "DAV_ZNZ_STP_LES, DAV_ZNZ_STP, DAV_ZNZ_OSN, SKUPAJ, VPL_PODRACUN, CORRECTIONFORDOCUMENT, "
        "CORRECTIONFORANALITICALDATA FROM REK2_ZBIR ORDER BY SFKPN, DATUM_PLC_DVK IS NULL, DATUM_PLC_DVK",
        {"NETO", "DOH", "DOH_NEREZ", "DOH_BREZ_DAVODT", "DAV_OSN", "DAV_ODT", "STOPNJA", "DAV_TUJ",
         "DAV_ZNZ_STP_LES", "DAV_ZNZ_STP", "DAV_ZNZ_OSN", "SKUPAJ"});
}

QStringList CollectFixture::links()
{
    // Each link with the analytic row it points to (name and coupon) and
    // whether that row's summary exists.
    return rows(db,
                "SELECT L.ID_DOG, L.DAVCNI_ODTEGLJAJ, L.STATUS, A.NAZIV, A.SFKPN, "
                "(SELECT COUNT(*) FROM REK2_ZBIR Z WHERE Z.ID_REK2_ZBIR = A.ID_REK2_ZBIR) AS SUMMARY "
                "FROM REK2_DOG L LEFT JOIN REK2_ANAL A ON A.ID_REK2_ANAL = L.ID_REK2_ANAL "
                "ORDER BY L.ID_DOG, L.DAVCNI_ODTEGLJAJ",
                {});
}

QString CollectFixture::scalar(const QString& sql)
{
    QSqlQuery q(db.db());
    if (!q.exec(sql) || !q.next()) {
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return QString();
    }
    return q.value(0).toString();
}

} // namespace rek2::test
