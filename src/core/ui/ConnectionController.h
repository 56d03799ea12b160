#pragma once

#include <cstdint>

#include "base/Profile.h"
#include "base/WindowTimers.h"
#include "device/DeviceLink.h"
#include "ui/DisplayComposer.h"

namespace r512 {

// The remote window's side of the device link: connecting with the configured port and speed,
// turning each read notice into mirror updates and display passes, and the window's timers:
// the knob's auto-repeat, the ends of the display's announcements, and the refresh retried
// about every 2 s while the device doesn't answer.
class ConnectionController {
public:
    ConnectionController(DeviceLink& link, Profile& profile, WindowTimers& timers,
                         DisplayComposer& composer, NoticeTarget& owner);

    // The line definition for a "Speed" setting: 9600 selects the 9600-baud line, any other
    // value the device's default 11520-baud line.
    static const char* LineDefinition(int speed);

    // Opens the configured port, asks for a full report and starts the settle timer. False when
    // the port can't be opened (the link has shown why); then nothing else happens.
    bool Connect();

    // Asks the device for a full report again (the "Refresh" command and the retry).
    void RefreshCommand();

    // A read notice: true when it completed a frame (the display has then been composed again,
    // and the caller reloads a visible Control Panel).
    bool DeviceData(std::uint32_t requested, std::uint32_t received);

    // A timer of the window has fired.
    void TimerExpired(int id);

    // The command code that the held knob half repeats, or -1 when none is held.
    void SetRepeatingCode(int code) { repeatingCode_ = code; }
    int RepeatingCode() const { return repeatingCode_; }

private:
    void StartIfNotRunning(int id, unsigned periodMs);

    DeviceLink& link_;
    Profile& profile_;
    WindowTimers& timers_;
    DisplayComposer& composer_;
    NoticeTarget& owner_;
    int repeatingCode_ = -1;
};

}  // namespace r512
