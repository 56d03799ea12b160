#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/Profile.h"
#include "base/WindowTimers.h"
#include "device/DeviceLink.h"
#include "ui/DisplayComposer.h"
#include "ui/KnobRepeat.h"

namespace r512 {

// The remote window's side of the device link: connecting with the configured port and speed,
// turning each read notice into mirror updates and display passes, and the window's timers:
// the knob's auto-repeat, the ends of the display's announcements, and the refresh retried
// about every 2 s while the device doesn't answer.
//
// Opening never blocks the window's thread: the link opens the port on its I/O thread (a
// network bridge's host name lookup and connection can take seconds) and tells the outcome
// through the window's notice path (WM_PORT_OPENED), which the window hands here like any other
// notice; the refresh and the settle timer start then.
//
// A port that fails while open (the adapter pulled out, the device node gone) closes the link,
// which tells the window through its notice path; the window hands that notice here like any
// other. The display then shows the no-connection screen, and the same 2 s retry also tries to
// open the configured port again, without a message, until it opens; the refresh that follows
// brings the display back by itself. A port that could not be opened when asked (at start or
// after Configure) is reported with its message when the open's notice comes, and not
// retried, as the user has to act.
class ConnectionController {
public:
    ConnectionController(DeviceLink& link, Profile& profile, WindowTimers& timers,
                         DisplayComposer& composer, NoticeTarget& owner);

    // The line definition for a "Speed" setting: 9600 selects the 9600-baud line, any other
    // value the device's default 11520-baud line.
    static const char* LineDefinition(int speed);

    // The message of the string table that tells the user of a failed open: 1024 (the port
    // can't be opened), 1025 (it can't be configured) or 1026 (the thread can't be started);
    // 0 for Opened.
    static int OpenFailureMessage(SerialLink::OpenResult result);

    // Begins opening the configured port and returns at once. When the open's notice comes:
    // opened, a full report is asked for and the settle timer started; failed, its message
    // (1024 to 1026) is shown and nothing else happens.
    void Connect();

    // Asks the device for a full report again (the "Refresh" command and the retry); after a
    // failure of the port, first tries to open it again.
    void RefreshCommand();

    // A notice of the link, as the owner received it: true when it completed a frame (the
    // display has then been composed again). Every notice the link posts is to be handed here.
    // WM_PORT_FAILED: the link is closed, the no-connection screen shown, and the retry opens
    // the port again once it is back. WM_PORT_OPENED (its received value): see Connect.
    bool Notice(std::uint32_t message, std::uint32_t requested, std::uint32_t received);

    // Told, after the above, whenever an open that Connect or the retry began has ended (true:
    // the port is open). For owners that act on it themselves (a service that waits for its
    // port to appear); the window needs none.
    void SetOpenEndedHandler(std::function<void(bool opened)> handler) {
        openEnded_ = std::move(handler);
    }

    // The frame that the last read notice completed (all zero when it completed none).
    const RegisterFrame& LastFrame() const { return lastFrame_; }

    // The port failed and has not been opened again since.
    bool AwaitingPort() const { return reopenOnRetry_; }

    // A timer of the window has fired.
    void TimerExpired(int id);

    // The knob's auto-repeat on timer 0; the window starts it on a press and ends it on every
    // loss of the pointer. A failing port ends it here.
    KnobRepeat& Repeat() { return repeat_; }
    const KnobRepeat& Repeat() const { return repeat_; }

private:
    bool DeviceData(std::uint32_t requested, std::uint32_t received);
    void PortFailed();
    void PortOpened(std::uint32_t received);
    void StartIfNotRunning(int id, unsigned periodMs);
    struct PortSettings {
        std::string port;
        int speed;
    };
    PortSettings ReadPortSettings() const;

    DeviceLink& link_;
    Profile& profile_;
    WindowTimers& timers_;
    DisplayComposer& composer_;
    NoticeTarget& owner_;
    KnobRepeat repeat_;
    bool reopenOnRetry_ = false;
    std::function<void(bool)> openEnded_;
    bool announceOpenFailure_ = false;  // the open under way was asked for by the user
    RegisterFrame lastFrame_{};
};

}  // namespace r512
