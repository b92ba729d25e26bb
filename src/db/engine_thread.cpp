#include "db/engine_thread.h"

#include <chrono>
#include <utility>

namespace rek2 {

EngineThread::~EngineThread()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void EngineThread::run(const std::function<void()>& work, const std::function<void()>& tick, int intervalMs)
{
    std::unique_lock lock(mutex_);
    if (!thread_.joinable())
        thread_ = std::thread([this] { loop(); });
    work_ = &work;
    done_ = false;
    error_ = nullptr;
    changed_.notify_all();
    while (!changed_.wait_for(lock, std::chrono::milliseconds(intervalMs), [this] { return done_; })) {
        lock.unlock();
        tick();
        lock.lock();
    }
    const std::exception_ptr error = std::exchange(error_, nullptr);
    lock.unlock();
    if (error)
        std::rethrow_exception(error);
}

void EngineThread::loop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || work_ != nullptr; });
        if (stop_)
            return;
        const std::function<void()>* work = std::exchange(work_, nullptr);
        lock.unlock();
        std::exception_ptr error;
        try {
            (*work)();
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        error_ = error;
        done_ = true;
        changed_.notify_all();
    }
}

} // namespace rek2
