#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace r512 {

// How often a bounded wait looks at its cancel flag: the longest a cancel waits to be seen.
constexpr std::chrono::milliseconds kCancelPollPeriod{10};

// Runs a call that may block for long and that no API lets us bound or cancel (a host name
// lookup: a dead name server holds getaddrinfo for many seconds) on a thread of its own, and
// waits for its result until `deadline` or until `*cancelled` turns true (nullptr: never).
// Empty when the wait ended first, or when no thread could be started. The thread is detached:
// a result that comes after the waiter gave up is handed to `discard` there and then, so
// nothing leaks and nothing the waiter owned is touched.
template <typename Result>
std::optional<Result> CallWithin(std::function<Result()> call, std::function<void(Result&)> discard,
                                 std::chrono::steady_clock::time_point deadline,
                                 const std::atomic<bool>* cancelled) {
    struct Shared {
        std::mutex lock;
        std::condition_variable done;
        std::optional<Result> result;
        bool abandoned = false;
    };
    auto shared = std::make_shared<Shared>();
    try {
        std::thread([shared, call = std::move(call), discard = std::move(discard)] {
            Result result = call();
            std::lock_guard<std::mutex> guard(shared->lock);
            if (shared->abandoned) {
                discard(result);
                return;
            }
            shared->result = std::move(result);
            shared->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    std::unique_lock<std::mutex> guard(shared->lock);
    for (;;) {
        if (shared->result) return std::move(shared->result);
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline || (cancelled != nullptr && cancelled->load())) {
            shared->abandoned = true;
            return std::nullopt;
        }
        shared->done.wait_until(guard, std::min(deadline, now + kCancelPollPeriod));
    }
}

}  // namespace r512
