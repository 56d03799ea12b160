#pragma once

#include <array>
#include <vector>

#include "base/WindowTimers.h"

namespace r512::test {

// The window's five timers without a clock, with a log: keeps which run, with which period, and
// every start and stop; a test makes one expire by calling the handler that the window would call.
class RecordingWindowTimers final : public WindowTimers {
public:
    struct Event {
        enum Kind { Start, Stop } kind;
        int id;
        unsigned periodMs;  // 0 for a stop

        bool operator==(const Event&) const = default;
    };

    void StartTimer(int id, unsigned periodMs) override {
        events.push_back({Event::Start, id, periodMs});
        running_.at(static_cast<std::size_t>(id)) = true;
        period_.at(static_cast<std::size_t>(id)) = periodMs;
    }
    void StopTimer(int id) override {
        events.push_back({Event::Stop, id, 0});
        running_.at(static_cast<std::size_t>(id)) = false;
    }
    bool IsTimerRunning(int id) const override { return running_.at(static_cast<std::size_t>(id)); }

    // The period of the last start of timer `id`.
    unsigned Period(int id) const { return period_.at(static_cast<std::size_t>(id)); }

    int Starts(int id) const {
        int count = 0;
        for (const Event& e : events) count += e.kind == Event::Start && e.id == id;
        return count;
    }

    std::vector<Event> events;

private:
    std::array<bool, 5> running_{};
    std::array<unsigned, 5> period_{};
};

}  // namespace r512::test
