#pragma once
#include <QString>

namespace rek2 {

class Session;

// One read-write transaction for the lifetime of the guard: begins on
// construction, commits on commit(), rolls back in the destructor otherwise
// (errors of that rollback are swallowed, the original error travels on).
class Transaction
{
public:
    explicit Transaction(Session& session);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    void rollback();
    // Waits until no other session runs a transaction of the same `work`,
    // and keeps the others waiting until this one ends (two workstations
    // collecting overlapping periods run one after the other).
    void serialize(const QString& work);
    bool active() const { return active_; }

private:
    Session& session_;
    bool active_ = false;
};

// Work that two workstations must not interleave even across its several
// transactions (a collection, a re-grouping): held for the guard's lifetime,
// others wait for it (up to two minutes).
class WorkLock
{
public:
    // Nothing without a session or while it is not logged on.
    WorkLock(Session* session, QString work);
    ~WorkLock();
    WorkLock(const WorkLock&) = delete;
    WorkLock& operator=(const WorkLock&) = delete;

private:
    Session* session_;
    QString work_;
};

} // namespace rek2
