#include "ui/ConnectionController.h"

#include "base/SettingsLayout.h"

namespace r512 {

namespace {
constexpr unsigned kSettlePeriodMs = 1000;
}  // namespace

ConnectionController::ConnectionController(DeviceLink& link, Profile& profile, WindowTimers& timers,
                                           DisplayComposer& composer, NoticeTarget& owner)
    : link_(link), profile_(profile), timers_(timers), composer_(composer), owner_(owner) {}

const char* ConnectionController::LineDefinition(int speed) {
    return speed == 9600 ? "baud=9600 parity=N data=8 stop=1" : "baud=11520 parity=N data=8 stop=1";
}

void ConnectionController::StartIfNotRunning(int id, unsigned periodMs) {
    if (!timers_.IsTimerRunning(id)) timers_.StartTimer(id, periodMs);
}

bool ConnectionController::Connect() {
    const std::string port =
        profile_.GetProfileString(settings::kConfig, settings::kPort, settings::kDefaultPort);
    const int speed =
        profile_.GetProfileInt(settings::kConfig, settings::kSpeed, settings::kDefaultSpeed);
    if (!link_.OpenPort(port.c_str(), LineDefinition(speed), &owner_)) return false;
    link_.RequestRefresh();
    StartIfNotRunning(kSettleTimer, kSettlePeriodMs);
    return true;
}

void ConnectionController::RefreshCommand() {
    if (timers_.IsTimerRunning(kRetryTimer)) timers_.StopTimer(kRetryTimer);
    link_.RequestRefresh();
    StartIfNotRunning(kSettleTimer, kSettlePeriodMs);
}

bool ConnectionController::DeviceData(std::uint32_t requested, std::uint32_t received) {
    const RegisterFrame frame = link_.ProcessReceived(requested, received);
    if (!frame.Taken()) return false;
    composer_.UpdateDisplay();
    return true;
}

void ConnectionController::TimerExpired(int id) {
    switch (id) {
        case kRepeatTimer:
            // The timer ends one period after the knob is let go: that expiry finds nothing held.
            if (repeatingCode_ >= 0) {
                link_.SendCommand(static_cast<std::uint8_t>(repeatingCode_));
            } else {
                timers_.StopTimer(kRepeatTimer);
            }
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
