#pragma once

#include <array>
#include <cstdint>

#include "base/NoticeTarget.h"
#include "base/Profile.h"
#include "base/WindowTimers.h"
#include "device/DeviceLink.h"
#include "ui/ConnectionController.h"
#include "ui/DisplayComposer.h"
#include "ui/DisplayLines.h"
#include "ui/PanelPointer.h"

namespace r512 {

// What a front end's remote window does for its session, which decides when. The window also
// queues the link's notices for its thread and shows the composed lines.
class RemoteWindowFrontEnd : public NoticeTarget, public DisplayLines {
public:
    // Window timer `id` (0 to 4), its expiries handed to RemoteSession::TimerExpired; false when
    // there is no window to run it on.
    virtual bool StartWindowTimer(int id, unsigned periodMs) = 0;
    virtual void StopWindowTimer(int id) = 0;
    // Modal; true for OK, when the dialog has stored the port and speed.
    virtual bool RunConfigDialog(bool firstRun) = 0;
    virtual void RunAboutDialog() = 0;
    virtual void RunNames() = 0;  // RunNamesCommand with the front end's dialog
    // The Control Panel taking input or not; shown; showing the mirror again if it is visible
    // (also minimised).
    virtual void EnablePanel(bool enabled) = 0;
    virtual void OpenPanel() = 0;
    virtual void ReloadPanelIfVisible() = 0;
    // The window's normal position and the Control Panel's, to the settings.
    virtual void SavePositions() = 0;
    virtual void CloseWindow() = 0;  // the program ends
    // A pointer effect other than Send and Close, which the session does itself.
    virtual void ApplyPointer(const PointerEffect& effect) = 0;
};

// The remote window's behaviour, once for both front ends: the device link, the display's
// composer, the connection controller and the pointer, the timers' bookkeeping, and what the
// commands, the link's notices and the pointer's events do.
class RemoteSession final : public WindowTimers {
public:
    static constexpr int kTimerCount = 5;

    // `buttonDown`: whether the button that presses is down, wherever it was let go.
    RemoteSession(Profile& profile, RemoteWindowFrontEnd& window,
                  KnobRepeat::ButtonProbe buttonDown);
    ~RemoteSession() override { link_.ClosePort(); }  // its thread posts to the window

    DeviceLink& Link() { return link_; }
    const KnobRepeat& Repeat() const { return controller_.Repeat(); }
    bool CaptionDown(int index) const { return pointer_.CaptionDown(index); }

    // "Configured" is stored before the first run's dialog opens, so that a first run cut short
    // is not repeated; Connect follows with whatever the dialog stored.
    void FirstRun();
    // Begins opening the configured port; the outcome comes as a notice (ConnectionController).
    void Connect() { controller_.Connect(); }
    // A menu item, a popup's button, a Control Panel button.
    void Command(int id);
    // A notice of the link, as the window received it.
    void Notice(std::uint32_t message, std::uint32_t requested, std::uint32_t received);
    void TimerExpired(int id);
    // A mouse event, in window coordinates.
    void Pointer(PointerEvent event, PointerButton button, int x, int y) {
        ApplyPointer(pointer_.Handle(event, button, x, y));
    }
    // The window lost the pointer: a held knob stops; harmless when nothing is held.
    void StopRepeating(RepeatStop reason) { ApplyPointer(pointer_.Cancel(reason)); }
    // Exit, the drawn Close button, a close of the window: positions stored, then closed.
    void Close();

    // WindowTimers, on the front end's; other ids than 0 to 4 do nothing.
    void StartTimer(int id, unsigned periodMs) override;
    void StopTimer(int id) override;
    bool IsTimerRunning(int id) const override;

private:
    void ApplyPointer(const PointerEffects& effects);

    Profile& profile_;
    RemoteWindowFrontEnd& window_;
    // A Win32 timer's identifier may be 0, which is also SetTimer's failure: kept here.
    std::array<bool, kTimerCount> timerRunning_{};
    DeviceLink link_;
    DisplayComposer composer_;
    ConnectionController controller_;
    PanelPointer pointer_;
};

}  // namespace r512
