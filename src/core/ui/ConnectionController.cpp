#include "ui/ConnectionController.h"

#include <optional>

#include "base/Messages.h"
#include "base/SettingsLayout.h"

namespace r512 {

namespace {
constexpr unsigned kSettlePeriodMs = 1000;
}  // namespace

ConnectionController::ConnectionController(DeviceLink& link, Profile& profile, WindowTimers& timers,
                                           DisplayComposer& composer, NoticeTarget& owner)
    : link_(link),
      profile_(profile),
      timers_(timers),
      composer_(composer),
      owner_(owner),
      repeat_(timers) {}

const char* ConnectionController::LineDefinition(int speed) {
    return speed == 9600 ? "baud=9600 parity=N data=8 stop=1" : "baud=11520 parity=N data=8 stop=1";
}

int ConnectionController::OpenFailureMessage(SerialLink::OpenResult result) {
    switch (result) {
        case SerialLink::OpenResult::Opened:
            return 0;
        case SerialLink::OpenResult::OpenFailed:
            return IDS_PORT_OPEN_FAILED;
        case SerialLink::OpenResult::ConfigureFailed:
            return IDS_PORT_CONFIGURE_FAILED;
        case SerialLink::OpenResult::ThreadFailed:
            return IDS_THREAD_FAILED;
    }
    return 0;
}

void ConnectionController::StartIfNotRunning(int id, unsigned periodMs) {
    if (!timers_.IsTimerRunning(id)) timers_.StartTimer(id, periodMs);
}

ConnectionController::PortSettings ConnectionController::ReadPortSettings() const {
    return {profile_.GetProfileString(settings::kConfig, settings::kPort, settings::kDefaultPort),
            profile_.GetProfileInt(settings::kConfig, settings::kSpeed, settings::kDefaultSpeed)};
}

void ConnectionController::Connect() {
    // Asked for by the user (or the start): a port that can't be opened is the user's to mend,
    // so it is reported and not retried.
    reopenOnRetry_ = false;
    announceOpenFailure_ = true;
    const PortSettings settings = ReadPortSettings();
    link_.BeginOpen(settings.port.c_str(), LineDefinition(settings.speed), &owner_);
}

void ConnectionController::PortOpened(std::uint32_t received) {
    // An open that a close (Configure, a newer open) has ended since is old news.
    const std::optional<SerialLink::OpenResult> result = link_.OpenCompleted(received);
    if (!result) return;
    if (*result != SerialLink::OpenResult::Opened) {
        // A reopen that failed stays quiet: the no-connection screen already says it, and the
        // retry tries again.
        if (announceOpenFailure_) ShowMessage(OpenFailureMessage(*result));
        if (openEnded_) openEnded_(false);
        return;
    }
    reopenOnRetry_ = false;
    link_.RequestRefresh();
    StartIfNotRunning(kSettleTimer, kSettlePeriodMs);
    if (openEnded_) openEnded_(true);
}

void ConnectionController::RefreshCommand() {
    if (timers_.IsTimerRunning(kRetryTimer)) timers_.StopTimer(kRetryTimer);
    if (reopenOnRetry_ && !link_.Opening()) {
        // The port failed: see whether it is back (the adapter plugged in again). Quietly: a
        // port that is still missing is what the no-connection screen already says. An attempt
        // still under way (a bridge that doesn't answer) is left to end first.
        announceOpenFailure_ = false;
        const PortSettings settings = ReadPortSettings();
        link_.BeginReopen(settings.port.c_str(), LineDefinition(settings.speed), &owner_);
    }
    // With the port still closed this marks every register awaited and sends nothing, so the
    // no-connection screen and the retry go on.
    link_.RequestRefresh();
    StartIfNotRunning(kSettleTimer, kSettlePeriodMs);
}

bool ConnectionController::Notice(std::uint32_t message, std::uint32_t requested,
                                  std::uint32_t received) {
    if (message == WM_PORT_FAILED) {
        PortFailed();
        return false;
    }
    if (message == WM_PORT_OPENED) {
        PortOpened(received);
        return false;
    }
    return DeviceData(requested, received);
}

bool ConnectionController::DeviceData(std::uint32_t requested, std::uint32_t received) {
    const RegisterFrame frame = link_.ProcessReceived(requested, received);
    lastFrame_ = frame;
    if (!frame.Taken()) return false;
    composer_.UpdateDisplay();
    return true;
}

void ConnectionController::PortFailed() {
    // A failure of a port that has been closed since (the user chose another) is old news.
    if (!link_.AcceptNotice()) return;
    repeat_.Stop(RepeatStop::PortFailed);
    link_.ClosePort();
    reopenOnRetry_ = true;
    // Nothing is known of the device any more: the no-connection screen, and with it the
    // retry, which now also opens the port again.
    link_.Mirror().MarkAllPending();
    if (timers_.IsTimerRunning(kSettleTimer)) timers_.StopTimer(kSettleTimer);
    composer_.UpdateDisplay();
}

void ConnectionController::TimerExpired(int id) {
    switch (id) {
        case kRepeatTimer:
            if (const auto code = repeat_.Tick()) link_.SendCommand(*code);
            break;
        case kZoneSourceTimer:
            composer_.ZoneSourceTimerEnded();
            break;
        case kOverlayTimer:
            composer_.OverlayTimerEnded();
            break;
        case kRetryTimer:
            RefreshCommand();
            break;
        case kSettleTimer:
            timers_.StopTimer(kSettleTimer);
            composer_.UpdateDisplay();
            break;
        default:
            break;
    }
}

}  // namespace r512
