#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "base/WindowTimers.h"

namespace r512 {

// Why a held knob half stopped repeating.
enum class RepeatStop {
    ButtonReleased,  // the button came up over the window
    LeftHalf,        // the pointer left the held half
    CaptureLost,     // another window took the pointer (capture or grab ended)
    CancelMode,      // the system cancelled the pointer's mode
    Deactivated,     // the window stopped being the active one
    Hidden,          // the window was hidden or minimised
    DialogOrMenu,    // a dialog or a menu opened
    PortFailed,      // the port failed: nothing can be sent
    ButtonNotDown,   // a tick found the button up: its release was never seen
};

// The auto-repeat of a held knob half on timer 0. A repeat that outlives the hand holding it
// turns the volume up on its own, so every way the window can lose the pointer ends it, and each
// tick first asks the front end whether the button that started it is still physically down:
// a release the window never saw (over another program that took the foreground) then costs at
// most the tick that finds it.
class KnobRepeat {
public:
    // The repeat's period, for both front ends.
    static constexpr unsigned kPeriodMs = 100;

    // Whether the button that started the repeat is down now, as the input device says.
    using ButtonProbe = std::function<bool()>;

    explicit KnobRepeat(WindowTimers& timers) : timers_(timers) {}

    // The front end's probe; without one every tick takes the button as down.
    void SetButtonProbe(ButtonProbe probe) { probe_ = std::move(probe); }

    // A press on a repeating half (`hotSpot`, sending `code`): starts timer 0. The press's own
    // code has gone out already.
    void Start(int hotSpot, std::uint8_t code);

    // Ends the repeat at once, timer 0 included; harmless when nothing is held.
    void Stop(RepeatStop reason);

    // A tick of timer 0: the code to send, or nothing when the repeat has ended (then timer 0
    // has been stopped).
    std::optional<std::uint8_t> Tick();

    bool Held() const { return hotSpot_ >= 0; }
    int HotSpot() const { return hotSpot_; }
    // Why the last repeat ended (empty while one runs or before the first).
    std::optional<RepeatStop> LastStop() const { return lastStop_; }

private:
    WindowTimers& timers_;
    ButtonProbe probe_;
    int hotSpot_ = -1;
    std::uint8_t code_ = 0;
    std::optional<RepeatStop> lastStop_;
};

}  // namespace r512
