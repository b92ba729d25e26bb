#pragma once
#include <QString>
#include <memory>

namespace rek2 {

class Session;

// The database of the translation tables, reached by a connection name
// ("LB" unless the translator is told otherwise). The name is looked up in
// aliases.ini like any alias (its "SERVER NAME", "ODBC DSN" or "DB2 DSN");
// a name without a mapping is the file translations.db in the installation
// folder, which is created with its tables when it is missing and the caller
// asks for it (translation or write mode on, or an import to run).
class TranslationDatabase
{
public:
    explicit TranslationDatabase(QString connectionName = QStringLiteral("LB"));
    ~TranslationDatabase();
    TranslationDatabase(const TranslationDatabase&) = delete;
    TranslationDatabase& operator=(const TranslationDatabase&) = delete;

    // Where the name leads; `mapped` tells whether aliases.ini named it.
    static QString resolve(const QString& connectionName, bool* mapped = nullptr);

    // Opens the connection once (later calls return it). With `create` the
    // default file is made with its tables when it does not exist; a mapped
    // database must exist. Throws DbError with the engine's message.
    Session& open(bool create);
    bool isOpen() const;
    // False only for the default file when it is not there yet (a mapped
    // database is assumed to exist; opening it tells).
    bool exists() const;
    void close();
    const QString& connectionName() const { return name_; }

    // How many connections every TranslationDatabase has opened so far; tests
    // use it to see that the default settings touch no database.
    static int openCount();

    // The five tables of the translator, on a fresh database.
    static void createTables(Session& session);

    // A new key for `table` from S_KLJUCI: PREDPONA + STEVEC + PRIPONA, after
    // which STEVEC is raised by one; a table without a counter row gets "1"
    // and the row ('table', 2, '1', 0). Counters never hand out a number that
    // the table already holds (rows brought in by an import script carry
    // their own numbers). Call it inside the transaction of the insert that
    // uses the key, so a rolled-back insert gives the number back.
    static QString nextKey(Session& session, const QString& table);

private:
    QString name_;
    std::unique_ptr<Session> session_;
};

} // namespace rek2
