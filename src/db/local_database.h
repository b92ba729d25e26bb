#pragma once
#include "db/field.h"

#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

namespace rek2 {

class Session;

// A database of one window's own, held in memory: the print window's local
// table. It has its own session (no other connection sees it, and it never
// touches the registry database) and is gone when this object is destroyed.
class LocalDatabase
{
public:
    LocalDatabase(); // throws DbError
    ~LocalDatabase();
    LocalDatabase(const LocalDatabase&) = delete;
    LocalDatabase& operator=(const LocalDatabase&) = delete;

    Session& session() { return *session_; }

    // Creates a table named `prefix` followed by a running number of the
    // program (from 0) with the given columns; returns its name. Throws DbError.
    QString createTable(const QString& prefix, const QVector<QPair<QString, FieldType>>& columns);
    void dropTable(const QString& name);

    // Appends rows to a table with one prepared statement in one transaction:
    // `append` takes one value per column (an invalid QVariant is NULL, a
    // date is stored as its ISO text); `commit` ends the transaction, and
    // destroying an appender without it rolls the rows back.
    class Appender
    {
    public:
        virtual ~Appender() = default;
        virtual void append(const QVariant* values) = 0;
        virtual void commit() = 0;
    };
    std::unique_ptr<Appender> appender(const QString& table, int columnCount);

private:
    std::unique_ptr<Session> session_;
};

} // namespace rek2
