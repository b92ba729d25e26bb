#include "db/schema.h"

#include "db/dialect.h"
#include "db/postgres/schema_postgres.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
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

QString schemaVersionProblem(const QSqlDatabase& db, const Dialect& dialect)
{
    static const QStringList judged = {QStringLiteral("REK2_ANAL"), QStringLiteral("REK2_ANAL_HST"),
                                       QStringLiteral("REK2_ZBIR"), QStringLiteral("REK2_ZBIR_HST"),
                                       QStringLiteral("REK2_DOG")};
    for (const QString& statement : schemaStatementsSqlite()) {
        // "CREATE TABLE NAME (col type, ...)": the names in order.
        const QString head = statement.trimmed().section(QLatin1Char('('), 0, 0).simplified();
        const QString table = head.section(QLatin1Char(' '), 2, 2);
        if (!head.startsWith(QLatin1String("CREATE TABLE ")) || !judged.contains(table))
            continue;
        QStringList expected;
        const QString body = statement.mid(statement.indexOf(QLatin1Char('(')) + 1);
        int depth = 0;
        QString item;
        for (const QChar c : body) {
            if (c == QLatin1Char('('))
                ++depth;
            if (c == QLatin1Char(')') && depth-- == 0)
                break;
            if (c == QLatin1Char(',') && depth == 0) {
                expected << item.simplified().section(QLatin1Char(' '), 0, 0).toUpper();
                item.clear();
                continue;
            }
            item += c;
        }
        expected << item.simplified().section(QLatin1Char(' '), 0, 0).toUpper();
        const QSqlRecord rec = db.record(dialect.catalogName(table));
        if (rec.isEmpty())
            continue;
        QStringList actual;
        for (int i = 0; i < rec.count(); ++i)
            actual << rec.fieldName(i).toUpper();
        if (actual == expected)
            continue;
        for (int i = 0; i < qMax(actual.size(), expected.size()); ++i) {
            if (actual.value(i) == expected.value(i))
                continue;
            const QString detail =
                expected.value(i).isEmpty()
                    ? QStringLiteral("ima odvečen stolpec %1").arg(actual.value(i))
                    : QStringLiteral("na %1. mestu nima stolpca %2").arg(i + 1).arg(expected.value(i));
            return QStringLiteral("Baza podatkov je druge različice kot program: tabela %1 %2. "
                                  "Nič ni bilo zapisano; bazo je treba najprej nadgraditi.")
                .arg(table, detail);
        }
    }
    return {};
}

} // namespace rek2
