#pragma once
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace rek2 {

// A thread of one session that takes the engine's work while the session's
// own thread keeps the window painted. Only one piece of work at a time, and
// the caller waits for it: the connection is never used by two threads at
// once, it only changes hands.
class EngineThread
{
public:
    EngineThread() = default;
    ~EngineThread();
    EngineThread(const EngineThread&) = delete;
    EngineThread& operator=(const EngineThread&) = delete;

    // Runs `work` on this thread and waits for it; meanwhile `tick` is
    // called on the caller's thread every `intervalMs`. What `work` throws
    // is thrown here.
    void run(const std::function<void()>& work, const std::function<void()>& tick, int intervalMs);

private:
    void loop();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
    const std::function<void()>* work_ = nullptr;
    bool done_ = false;
    bool stop_ = false;
    std::exception_ptr error_;
};

} // namespace rek2
