#pragma once

namespace r512 {

// The remote window's five timers.
enum TimerId : int {
    kRepeatTimer = 0,      // auto-repeat of a held knob half, 100 ms
    kZoneSourceTimer = 1,  // the zone-source announcement, 2500 ms
    kOverlayTimer = 2,     // a value announcement on the bottom line, 2500/3000/5000 ms
    kRetryTimer = 3,       // the refresh retry while the device doesn't answer, 1000 ms
    kSettleTimer = 4,      // the wait after a refresh before the display is recomposed, 1000 ms
};

// The window's timers as the window system runs them: each fires repeatedly with its period
// until it is stopped, on the user-interface thread.
class WindowTimers {
public:
    virtual ~WindowTimers() = default;
    // Starts timer `id`; a running timer is started afresh with the new period.
    virtual void StartTimer(int id, unsigned periodMs) = 0;
    // Stops timer `id`; harmless when it doesn't run.
    virtual void StopTimer(int id) = 0;
    virtual bool IsTimerRunning(int id) const = 0;
};

}  // namespace r512
