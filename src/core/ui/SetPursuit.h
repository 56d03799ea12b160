#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "ui/SetTargets.h"

namespace r512 {

// The closed loop of `set` for a program that cannot wait in place (an event loop serving
// several clients): the same steps as r512ctl's set (NextKey, GoalReached, KeyBudget), driven
// by the reports as they come. The owner sends the key that Start or Report returns, hands
// every report of the goal's register to Report and calls Expired when ReportDeadline passes.
//
// Only a report that moves the register is a key's effect: one that repeats the value (the
// answer to a refresh, say) sends no key, or a toggle would go out twice. A key whose wait
// ends with only such reports means the device goes no further.
class SetPursuit {
public:
    using Clock = std::chrono::steady_clock;

    // How long a key's report may take before the device counts as not acting on the key.
    static constexpr std::chrono::milliseconds kReportWait{1500};

    // SendKey: send Key(); Wait: keep waiting for the last key's report.
    enum class Step { SendKey, Wait, Reached, Failed };

    // Begins at the register's byte `value`. SendKey: send Key() and wait for the report.
    Step Start(const SetGoal& goal, std::uint8_t value, Clock::time_point now);
    // A report of the goal's register (its new byte).
    Step Report(std::uint8_t value, Clock::time_point now);
    // The report of the last key did not come in time.
    Step Expired();

    bool Active() const { return active_; }
    std::uint8_t Key() const { return key_; }
    Clock::time_point ReportDeadline() const { return deadline_; }
    const SetGoal& Goal() const { return goal_; }
    // Why the pursuit failed, in one line.
    const std::string& Failure() const { return failure_; }

private:
    Step Advance(std::uint8_t value, Clock::time_point now);
    Step Fail(const std::string& why);

    SetGoal goal_;
    bool active_ = false;
    std::uint8_t key_ = 0;
    std::uint8_t before_ = 0;
    int sent_ = 0;
    int budget_ = 0;
    bool unmoved_ = false;  // a report since the last key repeated the value
    Clock::time_point deadline_{};
    std::string failure_;
};

}  // namespace r512
