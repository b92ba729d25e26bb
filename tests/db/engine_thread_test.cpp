#include "db/engine_thread.h"
#include "db/error.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

using namespace rek2;

namespace {

// The work runs on the engine thread, the caller's thread ticks meanwhile,
// and what the work throws comes back; one thread serves run after run.
TEST(EngineThread, RunsTheWorkElsewhereTicksHereAndPassesItsErrorBack)
{
    const std::thread::id caller = std::this_thread::get_id();
    EngineThread engine;
    std::set<std::thread::id> workers;
    int ticks = 0;
    bool tickedHere = true;
    const auto tick = [&] {
        ++ticks;
        tickedHere = tickedHere && std::this_thread::get_id() == caller;
    };

    int result = 0;
    engine.run(
        [&] {
            workers.insert(std::this_thread::get_id());
            std::this_thread::sleep_for(std::chrono::milliseconds(260));
            result = 42;
        },
        tick, 50);
    EXPECT_EQ(result, 42);
    EXPECT_GE(ticks, 3);
    EXPECT_TRUE(tickedHere);

    try {
        engine.run([] { throw DbError("Napaka v bazi"); }, tick, 50);
        ADD_FAILURE() << "the work's error was lost";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "Napaka v bazi");
    }

    ticks = 0;
    int sum = 0;
    for (int i = 1; i <= 1000; ++i)
        engine.run(
            [&] {
                workers.insert(std::this_thread::get_id());
                sum += i;
            },
            tick, 50);
    EXPECT_EQ(sum, 500500);
    ASSERT_EQ(workers.size(), 1u);
    EXPECT_NE(*workers.begin(), caller);
}

} // namespace
