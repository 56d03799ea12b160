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

// What the remote window of a front end does for its session; the session decides when. The
// window also receives the link's notices (NoticeTarget) and shows the composed lines
// (DisplayLines).
class RemoteWindowFrontEnd : public NoticeTarget, public DisplayLines {
public:
    // Runs window timer `id` every `periodMs` until stopped, its expiries handed to
    // RemoteSession::TimerExpired; false when there is no window to run it on. Called only with
    // the ids of WindowTimers.
    virtual bool StartWindowTimer(int id, unsigned periodMs) = 0;
    virtual void StopWindowTimer(int id) = 0;
    // The configuration dialog, modal, in its first-run form or not; true for OK, when it has
    // stored the port and speed.
    virtual bool RunConfigDialog(bool firstRun) = 0;
    virtual void RunAboutDialog() = 0;
    // The Names command with the front end's dialog (ui/NamesCommand.h).
    virtual void RunNames() = 0;
    // The Control Panel: taking input or not, shown, and showing the mirror again when it is
    // visible (also minimised).
    virtual void EnablePanel(bool enabled) = 0;
    virtual void OpenPanel() = 0;
    virtual void ReloadPanelIfVisible() = 0;
    // Writes the window's normal position and the Control Panel's to the settings.
    virtual void SavePositions() = 0;
    // Closes the window; the program ends.
    virtual void CloseWindow() = 0;
    // One of the pointer's effects other than Send and Close, which the session does itself.
    virtual void ApplyPointer(const PointerEffect& effect) = 0;
};

// The remote window's behaviour, once for both front ends: it owns the device link, the
// display's composer, the connection controller and the pointer, runs the window's timers on
// the front end's, and carries out the commands, the link's notices and the pointer's events
// that the front end hands it.
class RemoteSession final : public WindowTimers {
public:
    static constexpr int kTimerCount = 5;

    RemoteSession(Profile& profile, RemoteWindowFrontEnd& window);
    // Ends the link's thread, which posts to the window.
    ~RemoteSession() override;
    RemoteSession(const RemoteSession&) = delete;
    RemoteSession& operator=(const RemoteSession&) = delete;

    DeviceLink& Link() { return link_; }
    KnobRepeat& Repeat() { return controller_.Repeat(); }
    const KnobRepeat& Repeat() const { return controller_.Repeat(); }
    bool CaptionDown(int index) const { return pointer_.CaptionDown(index); }

    // The first start: "Configured" is written before the dialog opens, so that a first run cut
    // short is not repeated; the dialog in its first-run form follows. Connect comes after it
    // with whatever the dialog stored.
    void FirstRun();
    // Begins opening the configured port; its outcome comes as a notice (ConnectionController).
    void Connect() { controller_.Connect(); }
    // Carries out a command identifier: a menu item, a popup's button, a Control Panel button.
    void Command(int id);
    // A notice of the link, as the window received it: a completed frame recomposes the display
    // and reloads a visible Control Panel; a failed port lets an idle pointer go.
    void Notice(std::uint32_t message, std::uint32_t requested, std::uint32_t received);
    // A window timer has fired.
    void TimerExpired(int id);
    // A mouse event of the window, in window coordinates.
    void Pointer(PointerEvent event, PointerButton button, int x, int y);
    // The window has lost the pointer for `reason`: ends the knob's repeat; harmless when nothing
    // is held.
    void StopRepeating(RepeatStop reason) { ApplyPointer(pointer_.Cancel(reason)); }
    // Exit, the drawn Close button, a close of the window: the positions are stored, then the
    // window closes.
    void Close();

    // WindowTimers, on the front end's window timers; ids outside 0 to 4 do nothing.
    void StartTimer(int id, unsigned periodMs) override;
    void StopTimer(int id) override;
    bool IsTimerRunning(int id) const override;

private:
    void ApplyPointer(const PointerEffects& effects);
    void Configure();
    void About();

    Profile& profile_;
    RemoteWindowFrontEnd& window_;
    // Whether each timer runs; a platform's own answer can't always tell (a Win32 window timer
    // may have identifier 0, which is also SetTimer's failure).
    std::array<bool, kTimerCount> timerRunning_{};
    DeviceLink link_;
    DisplayComposer composer_;
    ConnectionController controller_;
    PanelPointer pointer_;
};

}  // namespace r512
