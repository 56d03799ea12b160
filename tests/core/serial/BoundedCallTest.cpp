// A call that can't be bounded (a host name lookup) run on a thread of its own and waited for
// until a deadline or a cancel; a result that comes after the wait gave up is discarded.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "serial/BoundedCall.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A call that returns only when the test lets it, and the record of what became of its result.
struct HeldCall {
    std::mutex lock;
    std::condition_variable changed;
    bool released = false;
    std::atomic<int> discarded{0};

    void Release() {
        std::lock_guard<std::mutex> guard(lock);
        released = true;
        changed.notify_all();
    }
    bool WaitDiscarded(int count) {
        const Clock::time_point until = Clock::now() + 5s;
        while (discarded.load() < count && Clock::now() < until) std::this_thread::sleep_for(1ms);
        return discarded.load() == count;
    }
};

TEST(BoundedCall, ReturnsTheResultOrGivesUpAtTheDeadlineOrTheCancel) {
    struct Case {
        const char* what;
        bool holds;                    // the call blocks until released
        Clock::duration cancelAfter;   // 0: never cancelled
        Clock::duration deadline;      // from the start
        bool result;                   // a result is returned
        Clock::duration shortestWait;  // the wait lasted at least
        Clock::duration longestWait;   // and at most
    };
    const Case cases[] = {
        {"quick call", false, 0ms, 2000ms, true, 0ms, 1000ms},
        {"held past the deadline", true, 0ms, 150ms, false, 150ms, 1000ms},
        {"held, then cancelled", true, 100ms, 5000ms, false, 100ms, 1000ms},
        {"cancelled before the start", true, -1ms, 5000ms, false, 0ms, 1000ms},
    };
    for (const Case& c : cases) {
        HeldCall held;
        std::atomic<bool> cancelled{c.cancelAfter < 0ms};
        std::thread canceller;
        if (c.cancelAfter > 0ms) {
            canceller = std::thread([&] {
                std::this_thread::sleep_for(c.cancelAfter);
                cancelled.store(true);
            });
        }
        const Clock::time_point began = Clock::now();
        const std::optional<int> result = CallWithin<int>(
            [&held, holds = c.holds] {
                std::unique_lock<std::mutex> guard(held.lock);
                if (holds) held.changed.wait(guard, [&] { return held.released; });
                return 42;
            },
            [&held](int&) { ++held.discarded; }, began + c.deadline, &cancelled);
        const Clock::duration waited = Clock::now() - began;
        if (canceller.joinable()) canceller.join();
        EXPECT_EQ(result.has_value(), c.result) << c.what;
        if (result) {
            EXPECT_EQ(*result, 42) << c.what;
        }
        EXPECT_GE(waited, c.shortestWait) << c.what;
        EXPECT_LE(waited, c.longestWait) << c.what;
        // A result that comes after the wait gave up is handed to the discard, once.
        held.Release();
        EXPECT_TRUE(held.WaitDiscarded(c.result ? 0 : 1)) << c.what;
    }
}

}  // namespace
}  // namespace r512::test
