#include "ui/SetPursuit.h"

#include "device/KeyNames.h"

namespace r512 {

SetPursuit::Step SetPursuit::Start(const SetGoal& goal, std::uint8_t value, Clock::time_point now) {
    goal_ = goal;
    active_ = true;
    sent_ = 0;
    budget_ = KeyBudget(goal, value);
    failure_.clear();
    return Advance(value, now);
}

SetPursuit::Step SetPursuit::Report(std::uint8_t value, Clock::time_point now) {
    if (!active_) return Step::Failed;
    if (value == before_) {
        unmoved_ = true;
        return Step::Wait;
    }
    return Advance(value, now);
}

SetPursuit::Step SetPursuit::Expired() {
    if (!active_) return Step::Failed;
    // At the end of its range, say: the device reports the key and stays where it was.
    if (unmoved_) return Fail("the device does not move any further");
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
    unmoved_ = false;
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
