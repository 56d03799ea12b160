#pragma once

#include <cstdint>

#include "base/WindowTimers.h"
#include "device/RegisterMirror.h"
#include "ui/DisplayLines.h"

namespace r512 {

// Composes the two lines of the front-panel display from the register mirror, as the device's
// own panel would show them: the no-connection screen, a blank screen in standby, or source,
// signal format, mode, THX and volume, with short announcements of changes the device reports.
// It moves the announced registers' states (Changed -> Shown -> Known) and runs timers 1, 2
// and 3 of the window.
class DisplayComposer {
public:
    DisplayComposer(RegisterMirror& mirror, DisplayLines& display, WindowTimers& timers);

    // One composition pass: after a register report, and at the end of timers 1, 2 and 4.
    void UpdateDisplay();

    // Writes an announcement of a level into columns 12-19 of the bottom line and times it.
    void ShowLevelOverlay(std::uint8_t code, const char* label, unsigned durationMs);

    // The ends of the announcement timers: the register returns to Known and the display is
    // composed again.
    void ZoneSourceTimerEnded();  // timer 1
    void OverlayTimerEnded();     // timer 2

    // The register whose announcement timer 2 is timing (0xEF for the late-night one).
    std::uint8_t OverlayOwner() const { return overlayOwner_; }

    // The line buffers as the last pass built them (20 characters and a terminator each).
    const char* TopLine() const { return top_; }
    const char* BottomLine() const { return bottom_; }

private:
    void WriteNumber(int value);
    void Settle(std::uint8_t code);

    RegisterMirror& mirror_;
    DisplayLines& display_;
    WindowTimers& timers_;
    char top_[21];
    char bottom_[21];
    std::uint8_t overlayOwner_ = 0;
};

}  // namespace r512
