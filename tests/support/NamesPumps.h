#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "base/MessagePump.h"
#include "device/DeviceLink.h"
#include "support/NoticeRecorder.h"

namespace r512::test {

// Plays the window's event loop for a link without a window system: waits for the link's
// notices (sleeping, not spinning) and hands each to ProcessReceived, until the condition holds.
// `beforeEachWait` lets a test act as the port or the user while the loop runs. Gives up, and
// fails the test, after `limit`.
class NoticePump final : public MessagePump {
public:
    NoticePump(DeviceLink& link, NoticeRecorder& notices,
               std::chrono::milliseconds limit = std::chrono::milliseconds(15000))
        : link_(link), notices_(notices), limit_(limit) {}

    std::function<void()> beforeEachWait;
    int rounds = 0;         // how often the condition was found false
    int noticesHanded = 0;  // notices given to ProcessReceived
    int framesTaken = 0;

    void RunUntil(const std::function<bool()>& done) override {
        using namespace std::chrono;
        const auto until = steady_clock::now() + limit_;
        while (!done()) {
            ++rounds;
            if (steady_clock::now() > until) {
                ADD_FAILURE() << "the condition did not come true in time";
                return;
            }
            if (beforeEachWait) beforeEachWait();
            if (auto notice = notices_.Take(milliseconds(200))) {
                ++noticesHanded;
                framesTaken += link_.ProcessReceived(notice->requested, notice->received).Taken();
            }
        }
    }

private:
    DeviceLink& link_;
    NoticeRecorder& notices_;
    std::chrono::milliseconds limit_;
};

}  // namespace r512::test
