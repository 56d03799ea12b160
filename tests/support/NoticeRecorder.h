#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "base/NoticeTarget.h"

namespace r512::test {

// Collects a link's notices, as the window's message queue would, for the test thread to take.
class NoticeRecorder final : public NoticeTarget {
public:
    struct Notice {
        std::uint32_t message = 0;
        std::uint32_t requested = 0;
        std::uint32_t received = 0;
        std::chrono::steady_clock::time_point at;
    };

    void PostNotice(std::uint32_t message, std::uint32_t requested,
                    std::uint32_t received) override {
        std::lock_guard<std::mutex> guard(lock_);
        notices_.push_back({message, requested, received, std::chrono::steady_clock::now()});
        ready_.notify_all();
    }

    // The oldest notice, waiting at most `timeout` for one.
    std::optional<Notice> Take(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> guard(lock_);
        if (!ready_.wait_for(guard, timeout, [&] { return !notices_.empty(); }))
            return std::nullopt;
        Notice notice = notices_.front();
        notices_.pop_front();
        return notice;
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

}  // namespace r512::test
