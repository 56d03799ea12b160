#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "base/NoticeTarget.h"

namespace r512::ctl {

// The link's notices, queued by its I/O thread for the command's own thread, in the order they
// were posted: the message queue of a program without windows.
class NoticeQueue final : public NoticeTarget {
public:
    struct Notice {
        std::uint32_t message = 0;
        std::uint32_t requested = 0;
        std::uint32_t received = 0;
    };

    void PostNotice(std::uint32_t message, std::uint32_t requested,
                    std::uint32_t received) override {
        std::lock_guard<std::mutex> guard(lock_);
        notices_.push_back({message, requested, received});
        ready_.notify_one();
    }

    // The oldest notice, waiting until `until` at the latest; false when none came.
    bool Take(Notice& notice, std::chrono::steady_clock::time_point until) {
        std::unique_lock<std::mutex> guard(lock_);
        if (!ready_.wait_until(guard, until, [&] { return !notices_.empty(); })) return false;
        notice = notices_.front();
        notices_.pop_front();
        return true;
    }

private:
    std::mutex lock_;
    std::condition_variable ready_;
    std::deque<Notice> notices_;
};

}  // namespace r512::ctl
