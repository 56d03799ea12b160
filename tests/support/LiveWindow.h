#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/BlockingNoticeQueue.h"
#include "base/SettingsLayout.h"
#include "base/WindowTimers.h"
#include "device/DeviceLink.h"
#include "support/FakeDisplayLines.h"
#include "support/MemoryProfile.h"
#include "ui/ConnectionController.h"
#include "ui/DisplayComposer.h"

namespace r512::test {

// The remote window without a window system, in real time: the device link, the connection
// controller and the display composer, with the window's timers run by the clock and the
// link's notices handed on in order, as the window's message loop does. For tests and
// benchmarks that follow the program's own behaviour over seconds (a pulled adapter, a soak).
class LiveWindow final : public WindowTimers {
public:
    using Clock = std::chrono::steady_clock;

    explicit LiveWindow(const std::string& port, std::unique_ptr<PortChannel> channel = nullptr)
        : link(channel ? std::make_unique<DeviceLink>(std::move(channel))
                       : std::make_unique<DeviceLink>()) {
        profile.strings[MemoryProfile::Key(settings::kConfig, settings::kPort)] = port;
    }

    // WindowTimers
    void StartTimer(int id, unsigned periodMs) override {
        if (id < 0 || id >= static_cast<int>(due_.size())) return;
        periods_[static_cast<std::size_t>(id)] = std::chrono::milliseconds(periodMs);
        due_[static_cast<std::size_t>(id)] = Clock::now() + std::chrono::milliseconds(periodMs);
    }
    void StopTimer(int id) override {
        if (id >= 0 && id < static_cast<int>(due_.size()))
            due_[static_cast<std::size_t>(id)].reset();
    }
    bool IsTimerRunning(int id) const override {
        return id >= 0 && id < static_cast<int>(due_.size()) &&
               due_[static_cast<std::size_t>(id)].has_value();
    }

    // Runs notices and timers until `done` holds (tested after each) or `limit` has passed;
    // true when `done` came.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const Clock::time_point until = Clock::now() + limit;
        while (!done()) {
            const Clock::time_point now = Clock::now();
            if (now >= until) return false;
            for (std::size_t id = 0; id < due_.size(); ++id) {
                if (due_[id] && *due_[id] <= now) {
                    due_[id] = now + periods_[id];
                    const Clock::time_point began = Clock::now();
                    controller.TimerExpired(static_cast<int>(id));
                    Handled(began);
                }
            }
            Clock::time_point wake = until;
            for (const auto& due : due_)
                if (due && *due < wake) wake = *due;
            if (auto notice = notices.TakeUntil(wake)) {
                ++noticesHandled;
                if (notice->message == WM_PORT_FAILED) ++failures;
                if (notice->message == WM_PORT_OPENED) ++opensEnded;
                const Clock::time_point began = Clock::now();
                const bool frame =
                    controller.Notice(notice->message, notice->requested, notice->received);
                Handled(began);
                if (frame && onFrame) onFrame(controller.LastFrame());
            }
        }
        return true;
    }

    bool ShowsNoConnection() const { return lines.Shown(0) == "   no connection    "; }

    MemoryProfile profile;
    BlockingNoticeQueue notices;
    std::unique_ptr<DeviceLink> link;
    FakeDisplayLines lines;
    DisplayComposer composer{link->Mirror(), lines, *this};
    ConnectionController controller{*link, profile, *this, composer, notices};
    std::function<void(const RegisterFrame&)> onFrame;  // every frame taken
    int noticesHandled = 0;
    int failures = 0;
    int opensEnded = 0;
    // The longest the window's thread spent in one timer or notice: what a real window would
    // be frozen for.
    Clock::duration longestHandling{};

private:
    void Handled(Clock::time_point began) {
        longestHandling = std::max(longestHandling, Clock::now() - began);
    }

    std::array<std::optional<Clock::time_point>, 5> due_{};
    std::array<std::chrono::milliseconds, 5> periods_{};
};

}  // namespace r512::test
