#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "device/Protocol.h"
#include "device/RegisterMirror.h"
#include "support/FakeDisplayLines.h"
#include "support/RecordingWindowTimers.h"
#include "ui/DisplayComposer.h"

namespace r512::test {

// A composer over a mirror that a device in operation has filled: Video 1 with Dolby Digital,
// mode 0, volume -40, tone and levels at 0, zone at -30 and not muted; every register Known.
class Composition : public ::testing::Test {
protected:
    Composition() {
        Set(RS_OPER_MODE, 1);
        Set(RS_AUDIO_SOURCE, 1);
        Set(RS_SIGNAL_TYPE, 3);
        Set(RS_STEREO_MODE, 0);
        Set(RS_VOLUME, 60);
        for (std::uint8_t code : {RS_TREBLE, RS_BASS, RS_CENTER, RS_SURROUND, RS_SUBWOOFER})
            Set(code, 12);
        Set(RS_ZONE_AUDIO_SOURCE, 7);
        Set(RS_ZONE_VOLUME, 70);
    }

    // A value the device reported earlier and the display has dealt with.
    void Set(std::uint8_t code, std::uint8_t value) {
        mirror[code] = {value, RegisterState::Known};
    }

    // A report from the device, taken into the mirror and then composed, as the window does.
    void Report(std::uint8_t code, std::uint8_t value) {
        mirror.ApplyReport(code, value);
        composer.UpdateDisplay();
    }

    void Pass() { composer.UpdateDisplay(); }

    // Timer 1 or 2 expires (it must be running).
    void Expire(int id) {
        ASSERT_TRUE(timers.IsTimerRunning(id)) << "timer " << id;
        if (id == kZoneSourceTimer) composer.ZoneSourceTimerEnded();
        if (id == kOverlayTimer) composer.OverlayTimerEnded();
    }

    std::string Top() const { return display.Shown(0); }
    std::string Bottom() const { return display.Shown(1); }
    std::string Field() const { return display.Shown(1).substr(12); }  // columns 12-19
    RegisterState State(std::uint8_t code) const { return mirror.State(code); }

    // The composer's buffers, all 21 bytes.
    std::string TopBuffer() const { return std::string(composer.TopLine(), 21); }
    std::string BottomBuffer() const { return std::string(composer.BottomLine(), 21); }

    RegisterMirror mirror;
    FakeDisplayLines display;
    RecordingWindowTimers timers;
    DisplayComposer composer{mirror, display, timers};
};

}  // namespace r512::test
