#include "ui/RemoteSession.h"

#include "base/SettingsLayout.h"
#include "ui/CommandSet.h"

namespace r512 {

RemoteSession::RemoteSession(Profile& profile, RemoteWindowFrontEnd& window)
    : profile_(profile),
      window_(window),
      composer_(link_.Mirror(), window, *this),
      controller_(link_, profile, *this, composer_, window),
      pointer_(controller_.Repeat()) {}

RemoteSession::~RemoteSession() { link_.ClosePort(); }

void RemoteSession::FirstRun() {
    profile_.WriteProfileInt(settings::kConfig, settings::kConfigured, 1);
    window_.RunConfigDialog(true);
}

void RemoteSession::Command(int id) {
    const CommandAction action = DecideCommand(id, link_.Mirror());
    // Every command that opens a dialog takes the pointer.
    if (action.kind != CommandAction::Kind::Device && action.kind != CommandAction::Kind::Refresh)
        StopRepeating(RepeatStop::DialogOrMenu);
    switch (action.kind) {
        case CommandAction::Kind::Device:
            // No answer is awaited: the device's reports show what it did.
            for (std::uint8_t code : action.codes) link_.SendCommand(code);
            break;
        case CommandAction::Kind::Refresh:
            controller_.RefreshCommand();
            break;
        case CommandAction::Kind::Exit:
            Close();
            break;
        case CommandAction::Kind::Configure:
            Configure();
            break;
        case CommandAction::Kind::ControlPanel:
            window_.OpenPanel();
            break;
        case CommandAction::Kind::Names:
            window_.RunNames();
            break;
        case CommandAction::Kind::About:
            About();
            break;
        case CommandAction::Kind::Unknown:
            break;
    }
}

void RemoteSession::Configure() {
    window_.EnablePanel(false);  // while the dialog is open
    const bool accepted = window_.RunConfigDialog(false);
    window_.EnablePanel(true);
    if (!accepted) return;
    // The dialog has stored the new port and speed: connect again with them. A failure is shown
    // when the open's notice comes; the window stays as it is.
    link_.ClosePort();
    controller_.Connect();
}

void RemoteSession::About() {
    window_.EnablePanel(false);
    window_.RunAboutDialog();
    window_.EnablePanel(true);
}

void RemoteSession::Notice(std::uint32_t message, std::uint32_t requested, std::uint32_t received) {
    // A failed port shows as the no-connection screen, which the controller puts up; no message
    // box is shown for it.
    if (controller_.Notice(message, requested, received)) window_.ReloadPanelIfVisible();
    // A held knob's repeat has ended with the port.
    if (message == WM_PORT_FAILED) ApplyPointer(pointer_.Settle());
}

void RemoteSession::TimerExpired(int id) {
    controller_.TimerExpired(id);
    if (id == kRepeatTimer) ApplyPointer(pointer_.Settle());  // the tick may have ended it
}

void RemoteSession::Pointer(PointerEvent event, PointerButton button, int x, int y) {
    ApplyPointer(pointer_.Handle(event, button, x, y));
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
