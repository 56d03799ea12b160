#include "ui/SetPursuit.h"

#include "device/KeyNames.h"

namespace r512 {

SetPursuit::Step SetPursuit::Start(const SetGoal& goal, std::uint8_t value, Clock::time_point now) {
    goal_ = goal;
    active_ = true;
    sent_ = 0;
    stalls_ = 0;
    budget_ = KeyBudget(goal, value);
    failure_.clear();
    return Advance(value, now);
}

SetPursuit::Step SetPursuit::Report(std::uint8_t value, Clock::time_point now) {
    if (!active_) return Step::Failed;
    // A report that doesn't move the register (at the end of its range, say) twice in a row:
    // the keys lead nowhere.
    stalls_ = value == before_ ? stalls_ + 1 : 0;
    if (stalls_ >= 2 && !GoalReached(goal_, value))
        return Fail("the device does not move any further");
    return Advance(value, now);
}

SetPursuit::Step SetPursuit::Expired() {
    if (!active_) return Step::Failed;
    const char* key = KeyNameOf(key_);
    return Fail(std::string("no report after key ") + (key != nullptr ? key : "?"));
}

SetPursuit::Step SetPursuit::Advance(std::uint8_t value, Clock::time_point now) {
    if (GoalReached(goal_, value)) {
        active_ = false;
        return Step::Reached;
    }
    const int key = NextKey(goal_, value);
    if (key < 0) return Fail("no key leads there from here");
    if (sent_ >= budget_)
        return Fail("the device did not get there after " + std::to_string(sent_) + " keys");
    key_ = static_cast<std::uint8_t>(key);
    before_ = value;
    ++sent_;
    deadline_ = now + kReportWait;
    return Step::SendKey;
}

SetPursuit::Step SetPursuit::Fail(const std::string& why) {
    active_ = false;
    failure_ = why;
    return Step::Failed;
}

}  // namespace r512
