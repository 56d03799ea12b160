#pragma once

#include <array>
#include <vector>

#include "app/WindowTimers.h"

namespace r512::test {

// The window's timers without a clock: the test sees what runs with which period and fires
// them itself.
class FakeWindowTimers final : public WindowTimers {
public:
    struct Start {
        int id;
        unsigned periodMs;
    };

    void StartTimer(int id, unsigned periodMs) override {
        running_[static_cast<std::size_t>(id)] = true;
        periods_[static_cast<std::size_t>(id)] = periodMs;
        starts.push_back({id, periodMs});
    }
    void StopTimer(int id) override { running_[static_cast<std::size_t>(id)] = false; }
    bool IsTimerRunning(int id) const override { return running_[static_cast<std::size_t>(id)]; }

    unsigned Period(int id) const { return periods_[static_cast<std::size_t>(id)]; }
    int StartsOf(int id) const {
        int n = 0;
        for (const Start& s : starts) n += s.id == id;
        return n;
    }

    std::vector<Start> starts;

private:
    std::array<bool, 5> running_{};
    std::array<unsigned, 5> periods_{};
};

}  // namespace r512::test
