#include "db/local_database.h"

#include "db/error.h"
#include "db/session.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace rek2 {

namespace {

std::atomic<int> tableCounter{0};

QString typeName(FieldType t)
{
    switch (t) {
    case FieldType::Integer:
        return QStringLiteral("INTEGER");
    case FieldType::Float:
        return QStringLiteral("REAL");
    case FieldType::Date:
        return QStringLiteral("DATE");
    default:
        return QStringLiteral("VARCHAR(4000)");
    }
}

[[noreturn]] void fail(const QSqlError& e)
{
    throw DbError(e.databaseText().isEmpty() ? e.text() : e.databaseText());
}

class QueryAppender : public LocalDatabase::Appender
{
public:
    QueryAppender(Session& session, const QString& table, int columns) : session_(session), columns_(columns)
    {
        session_.StartTransaction();
        query_ = QSqlQuery(session_.database());
        QStringList marks;
        for (int i = 0; i < columns; ++i)
            marks << QStringLiteral("?");
        if (!query_.prepare(
                QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, marks.join(QLatin1Char(',')))))
            fail(query_.lastError());
    }
    ~QueryAppender() override
    {
        query_.finish();
        if (session_.InTransaction())
            session_.Rollback();
    }
    void append(const QVariant* values) override
    {
        for (int i = 0; i < columns_; ++i) {
            const QVariant& v = values[i];
            if (v.typeId() == QMetaType::QDate)
                query_.bindValue(i, v.toDate().toString(Qt::ISODate));
            else
                query_.bindValue(i, v);
        }
        if (!query_.exec())
            fail(query_.lastError());
    }
    void commit() override
    {
        query_.finish();
        session_.Commit();
    }

private:
    Session& session_;
    int columns_;
    QSqlQuery query_;
};

} // namespace

LocalDatabase::LocalDatabase() : session_(std::make_unique<Session>())
{
    session_->LogOnInMemory();
}

LocalDatabase::~LocalDatabase()
{
    session_->LogOff();
}

QString LocalDatabase::createTable(const QString& prefix, const QVector<QPair<QString, FieldType>>& columns)
{
    const QString name = prefix + QString::number(tableCounter++);
    QStringList defs;
    for (const auto& c : columns)
        defs << c.first + QLatin1Char(' ') + typeName(c.second);
    session_->executeDirect(
        QStringLiteral("CREATE TABLE %1 (%2)").arg(name, defs.join(QStringLiteral(", "))));
    return name;
}

void LocalDatabase::dropTable(const QString& name)
{
    session_->executeDirect(QStringLiteral("DROP TABLE IF EXISTS ") + name);
}

std::unique_ptr<LocalDatabase::Appender> LocalDatabase::appender(const QString& table, int columnCount)
{
    return std::make_unique<QueryAppender>(*session_, table, columnCount);
}

} // namespace rek2
