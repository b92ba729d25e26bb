#include "db/transaction.h"

#include "db/session.h"

namespace rek2 {

Transaction::Transaction(Session& session) : session_(session)
{
    session_.StartTransaction();
    active_ = true;
}

Transaction::~Transaction()
{
    if (!active_)
        return;
    try {
        session_.Rollback();
    } catch (...) {
        // The error that brought us here is the one to report.
    }
}

void Transaction::commit()
{
    if (!active_)
        return;
    active_ = false;
    session_.Commit();
}

void Transaction::rollback()
{
    if (!active_)
        return;
    active_ = false;
    session_.Rollback();
}

void Transaction::serialize(const QString& work)
{
    session_.dialect().serialize(session_, work);
}

WorkLock::WorkLock(Session* session, QString work)
    : session_(session && session->Connected() ? session : nullptr), work_(std::move(work))
{
    if (session_)
        session_->dialect().holdWork(*session_, work_, true);
}

WorkLock::~WorkLock()
{
    try {
        if (session_ && session_->Connected())
            session_->dialect().holdWork(*session_, work_, false);
    } catch (...) {
        // The lock goes with the connection anyway.
    }
}

} // namespace rek2
