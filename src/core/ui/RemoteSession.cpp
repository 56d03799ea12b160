#include "ui/RemoteSession.h"

#include <utility>

#include "base/SettingsLayout.h"
#include "ui/CommandSet.h"

namespace r512 {

RemoteSession::RemoteSession(Profile& profile, RemoteWindowFrontEnd& window,
                             KnobRepeat::ButtonProbe buttonDown)
    : profile_(profile),
      window_(window),
      composer_(link_.Mirror(), window, *this),
      controller_(link_, profile, *this, composer_, window),
      pointer_(controller_.Repeat()) {
    controller_.Repeat().SetButtonProbe(std::move(buttonDown));
}

void RemoteSession::FirstRun() {
    profile_.WriteProfileInt(settings::kConfig, settings::kConfigured, 1);
    window_.RunConfigDialog(true);
}

void RemoteSession::Command(int id) {
    using Kind = CommandAction::Kind;
    const CommandAction action = DecideCommand(id, link_.Mirror());
    if (action.kind == Kind::Device) {
        // No answer is awaited: the device's reports show what it did.
        for (std::uint8_t code : action.codes) link_.SendCommand(code);
        return;
    }
    if (action.kind == Kind::Refresh) return controller_.RefreshCommand();
    // Every other command opens a dialog or closes the window: it takes the pointer.
    StopRepeating(RepeatStop::DialogOrMenu);
    if (action.kind == Kind::Exit) Close();
    if (action.kind == Kind::ControlPanel) window_.OpenPanel();
    if (action.kind == Kind::Names) window_.RunNames();
    if (action.kind == Kind::About) {
        window_.EnablePanel(false);  // while the dialog is open
        window_.RunAboutDialog();
        window_.EnablePanel(true);
    }
    if (action.kind == Kind::Configure) {
        window_.EnablePanel(false);
        const bool accepted = window_.RunConfigDialog(false);
        window_.EnablePanel(true);
        if (!accepted) return;
        // The dialog has stored the new port and speed: connect again with them. A failure is
        // shown when the open's notice comes; the window stays as it is.
        link_.ClosePort();
        controller_.Connect();
    }
}

void RemoteSession::Notice(std::uint32_t message, std::uint32_t requested, std::uint32_t received) {
    // A failed port shows as the no-connection screen, without a message box.
    if (controller_.Notice(message, requested, received)) window_.ReloadPanelIfVisible();
    if (message == WM_PORT_FAILED) ApplyPointer(pointer_.Settle());  // the repeat ended with it
}

void RemoteSession::TimerExpired(int id) {
    controller_.TimerExpired(id);
    if (id == kRepeatTimer) ApplyPointer(pointer_.Settle());  // the tick may have ended it
}

void RemoteSession::Close() {
    window_.SavePositions();
    window_.CloseWindow();
}

void RemoteSession::ApplyPointer(const PointerEffects& effects) {
    for (const PointerEffect& effect : effects) {
        if (effect.kind == PointerEffect::Kind::Close) return Close();  // nothing follows it
        if (effect.kind == PointerEffect::Kind::Send) {
            link_.SendCommand(effect.code);
        } else {
            window_.ApplyPointer(effect);
        }
    }
}

void RemoteSession::StartTimer(int id, unsigned periodMs) {
    if (id < 0 || id >= kTimerCount) return;
    if (window_.StartWindowTimer(id, periodMs)) timerRunning_[static_cast<std::size_t>(id)] = true;
}

void RemoteSession::StopTimer(int id) {
    if (id < 0 || id >= kTimerCount) return;
    window_.StopWindowTimer(id);
    timerRunning_[static_cast<std::size_t>(id)] = false;
}

bool RemoteSession::IsTimerRunning(int id) const {
    return id >= 0 && id < kTimerCount && timerRunning_[static_cast<std::size_t>(id)];
}

}  // namespace r512
