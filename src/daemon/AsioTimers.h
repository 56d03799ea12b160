#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <memory>

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>

#include "base/WindowTimers.h"

namespace r512::daemon {

// The window's five timers on the daemon's event loop: each fires every period until stopped,
// on the event loop's thread, and calls `expired` with its id.
class AsioTimers final : public WindowTimers {
public:
    AsioTimers(boost::asio::io_context& io, std::function<void(int id)> expired);

    void StartTimer(int id, unsigned periodMs) override;
    void StopTimer(int id) override;
    bool IsTimerRunning(int id) const override;

private:
    struct Slot {
        std::unique_ptr<boost::asio::steady_timer> timer;
        std::chrono::milliseconds period{0};
        unsigned generation = 0;  // a start or stop makes earlier waits stale
        bool running = false;
    };
    void Arm(int id);

    std::function<void(int)> expired_;
    std::array<Slot, 5> slots_;
};

}  // namespace r512::daemon
