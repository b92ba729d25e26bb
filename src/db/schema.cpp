#include "db/schema.h"

#include "db/postgres/schema_postgres.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <stdexcept>

namespace rek2 {

namespace {

[[noreturn]] void failWith(const QSqlError& e)
{
    QString text = e.databaseText();
    if (text.isEmpty())
        text = e.text();
    throw std::runtime_error(text.toStdString());
}

} // namespace

void createSchema(QSqlDatabase& db)
{
    if (!db.isOpen())
        throw std::runtime_error(QStringLiteral("Baza ni odprta.").toStdString());
    if (!db.transaction())
        failWith(db.lastError());
    QSqlQuery q(db);
    const QStringList statements =
        db.driverName() == QLatin1String("QPSQL") ? postgres::schemaStatements() : schemaStatementsSqlite();
    for (const QString& statement : statements) {
        if (!q.exec(statement)) {
            const QSqlError e = q.lastError();
            q.finish();
            db.rollback();
            failWith(e);
        }
    }
    q.finish();
    if (!db.commit()) {
        const QSqlError e = db.lastError();
        db.rollback();
        failWith(e);
    }
}

} // namespace rek2

namespace rek2 {

namespace {

struct SifRow
{
    bool payer;
    const char* ssf;
    const char* sif;
    const char* krt;
    const char* nzv;
};

// The payer is the registry itself (person 2 of the demo registry carries the same data).
const SifRow kSifBasics[] = {
    {false, "TIPBAZE", nullptr, "ORACLE", nullptr},
    {true, "NAZIV_IZP", nullptr, nullptr, "Vrednostni register Savinja d.d."},
    {true, "NASLOV_IZP", nullptr, nullptr, "Dunajska cesta 48, 1000 Ljubljana"},
    {true, "DVS_IZP", nullptr, nullptr, "12345679"},
    {true, "ODGOV_OSB", nullptr, nullptr, "Mojca Žagar"},
    {true, "ODGOV_OSBT", nullptr, nullptr, "01 307 35 00"},
    {true, "VPL_PODRCN", nullptr, nullptr, "01100-8450076537"},
    {false, "DANZACETKA", nullptr, nullptr, "01.07.2008"},
    {false, "STATUS", "O", nullptr, "Original"},
    {false, "STATUS", "D", nullptr, "Drugi del plačila davka"},
    {false, "STATUS", "S", nullptr, "Storno"},
    {false, "STATUS", "X", nullptr, "Popravek"},
    {false, "STATUS", "P", nullptr, "Popravek"},
    {false, "STATUS", "I", nullptr, "Izbris"},
    {false, "STATUS", "A", nullptr, "Popravek analitike"},
    {false, "STATUS", "Z", nullptr, "Zamenjava"},
};

QVariant textOrNull(const char* s)
{
    return s ? QVariant(QString::fromUtf8(s)) : QVariant(QMetaType(QMetaType::QString));
}

} // namespace

void insertSifBasics(QSqlDatabase& db, bool withPayer)
{
    QSqlQuery q(db);
    if (!q.prepare(QStringLiteral("INSERT INTO REK2_SIF (SSF, SIF, KRT, NZV, AKT) VALUES (?, ?, ?, ?, 'D')")))
        failWith(q.lastError());
    for (const SifRow& r : kSifBasics) {
        if (r.payer && !withPayer)
            continue;
        q.addBindValue(textOrNull(r.ssf));
        q.addBindValue(textOrNull(r.sif));
        q.addBindValue(textOrNull(r.krt));
        q.addBindValue(textOrNull(r.nzv));
        if (!q.exec())
            failWith(q.lastError());
    }
}

} // namespace rek2
