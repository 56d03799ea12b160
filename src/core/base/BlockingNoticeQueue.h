#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "base/NoticeTarget.h"

namespace r512 {

// A link's notices queued for one thread to take in the order they were posted, waiting for
// them with a time limit: the window's message queue for tools and tests that have no window.
class BlockingNoticeQueue final : public NoticeTarget {
public:
    using Clock = std::chrono::steady_clock;
    struct Notice {
        std::uint32_t message = 0;
        std::uint32_t requested = 0;
        std::uint32_t received = 0;
        Clock::time_point at;  // when it was posted
    };

    void PostNotice(std::uint32_t message, std::uint32_t requested,
                    std::uint32_t received) override {
        std::lock_guard<std::mutex> guard(lock_);
        notices_.push_back({message, requested, received, Clock::now()});
        ready_.notify_all();
    }

    // The oldest notice, waiting until `until` at most for one to come.
    std::optional<Notice> TakeUntil(Clock::time_point until) {
        std::unique_lock<std::mutex> guard(lock_);
        if (!ready_.wait_until(guard, until, [&] { return !notices_.empty(); }))
            return std::nullopt;
        Notice notice = notices_.front();
        notices_.pop_front();
        return notice;
    }
    std::optional<Notice> Take(std::chrono::milliseconds timeout) {
        return TakeUntil(Clock::now() + timeout);
    }

    std::size_t Count() {
        std::lock_guard<std::mutex> guard(lock_);
        return notices_.size();
    }

private:
    std::mutex lock_;
    std::condition_variable ready_;
    std::deque<Notice> notices_;
};

}  // namespace r512
