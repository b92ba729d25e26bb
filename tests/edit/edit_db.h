#pragma once
#include "db/dataset.h"
#include "db/session.h"
#include "qstring_print.h"
#include "returns/context.h"
#include "support/fixture_db.h"
#include "support/scripted_operator.h"

#include <QSqlQuery>
#include <memory>

namespace rek2::test {

// A fixture database with a logged-on session and a window state over it.
// Rows are inserted directly with SQL by each test.
struct EditDb
{
    FixtureDb fx;
    Session session;
    ScriptedOperator op;
    RekContext ctx;

    EditDb()
    {
        session.LogonDatabase = fx.path();
        session.LogOn();
        ctx.attachSession(&session);
        ctx.op = &op;
        ctx.settings.DvsIzp = QStringLiteral("12345678");
    }

    void exec(const QString& sql) { fx.exec(sql); }

    // First column of the first row, read outside the session.
    QVariant scalar(const QString& sql)
    {
        QSqlQuery q(fx.db());
        if (!q.exec(sql) || !q.next())
            return QVariant();
        return q.value(0);
    }
    int count(const QString& sql) { return scalar(sql).toInt(); }

    // A dataset over `sql` on the session, opened; with a payer, it carries
    // the computed IZPLAC_DVS as the summary views do.
    std::unique_ptr<DataSet> open(const QString& sql, const QString& payer = QString())
    {
        auto ds = std::make_unique<DataSet>(QStringLiteral("ods"));
        ds->SetSession(&session);
        ds->SQL = QStringList{sql};
        if (!payer.isEmpty()) {
            FieldDef def;
            def.name = QStringLiteral("IZPLAC_DVS");
            def.calculated = true;
            ds->AddField(def);
            ds->OnCalcFields = [payer](DataSet& d) {
                d.FieldByName(QStringLiteral("IZPLAC_DVS"))->SetAsString(payer);
            };
        }
        ds->Open();
        return ds;
    }
};

// An analytic row of 10.12.2026 that passes every check.
inline QString analRow(int id, int idZbir)
{
    return QStringLiteral(
               "INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, DURS_ID_DOK, DVS, NAZIV, IME, "
               "PRIIMEK, REZ, UGO_MED_POG, SIF_SFDOH, SIF_VRSTE_DOH, BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, "
               "DAV_ODT_ODB_TUJ, DATUM_IZP_DIV, STATUS, SFKPN, SFVP) VALUES (%1, %2, '0', '%3', "
               "'Ana Novak', 'Ana', 'Novak', 'R', '0', '5400', '1901', 100, 25, 25, 0, '2026-12-10', "
               "'O', 77, 'KRKG')")
        .arg(id)
        .arg(idZbir)
        .arg(QStringLiteral("1234567%1").arg(id).left(8)); // a tax number has eight digits
}

} // namespace rek2::test
