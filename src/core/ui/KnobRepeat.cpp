#include "ui/KnobRepeat.h"

namespace r512 {

void KnobRepeat::Start(int hotSpot, std::uint8_t code) {
    hotSpot_ = hotSpot;
    code_ = code;
    lastStop_.reset();
    timers_.StartTimer(kRepeatTimer, kPeriodMs);
}

void KnobRepeat::Stop(RepeatStop reason) {
    if (timers_.IsTimerRunning(kRepeatTimer)) timers_.StopTimer(kRepeatTimer);
    if (hotSpot_ < 0) return;
    hotSpot_ = -1;
    lastStop_ = reason;
}

std::optional<std::uint8_t> KnobRepeat::Tick() {
    if (hotSpot_ >= 0 && probe_ && !probe_()) Stop(RepeatStop::ButtonNotDown);
    if (hotSpot_ < 0) {
        // A tick already queued when the repeat ended.
        if (timers_.IsTimerRunning(kRepeatTimer)) timers_.StopTimer(kRepeatTimer);
        return std::nullopt;
    }
    return code_;
}

}  // namespace r512
