#include "ui/ControlPanelButtons.h"

#include "device/Protocol.h"
#include "ui/ResourceIds.h"

namespace r512 {

namespace {

using Kind = PanelButtonAction::Kind;

constexpr PanelButtonAction Send(std::uint8_t code) { return {Kind::Send, code}; }
constexpr PanelButtonAction Post(int command) { return {Kind::Post, command}; }

}  // namespace

PanelButtonAction PanelButton(int id) {
    if (id >= IDC_SOURCE_VIDEO_1 && id <= IDC_SOURCE_VIDEO_6)
        return Send(static_cast<std::uint8_t>(cmd::kVideo1 + (id - IDC_SOURCE_VIDEO_1)));
    if (id >= IDC_ZONE_SOURCE_VIDEO_1 && id <= IDC_ZONE_SOURCE_TUNER)
        return {Kind::ZoneStep, id - IDC_ZONE_SOURCE_VIDEO_1};
    switch (id) {
        case IDC_REFRESH:
            return Post(ID_REFRESH);
        case IDC_MUTE:
        case IDC_ZONE_MUTE:  // the device decides which of the two mutes toggles
            return Send(cmd::kMuteToggle);
        case IDC_LATE_NIGHT:
            return Send(cmd::kLateNightToggle);
        case IDC_TAPE_MONITOR:
            return Send(cmd::kTapeMonitorPanel);
        case IDC_POWER_ON:
            return Send(cmd::kPowerToggle);
        case IDC_DIMMER:
            return Send(cmd::kBrightness);
        case IDC_SOURCE_CD:
            return Send(cmd::kCd);
        case IDC_SOURCE_AUX:
            return Send(cmd::kAux);
        case IDC_SOURCE_TUNER:
            return Send(cmd::kTuner);
        case IDC_SOURCE_EXT_51:
            return Send(cmd::kExt51);
        case IDC_MODE_STEREO_DIRECT:
            return Post(ID_MODE_STEREO_DIRECT);
        case IDC_MODE_STEREO_DOWNMIX:
            return Post(ID_MODE_STEREO_DOWNMIX);
        case IDC_MODE_MONO_DOWNMIX:
            return Post(ID_MODE_MONO_DOWNMIX);
        case IDC_MODE_BYPASS:
            return Post(ID_MODE_BYPASS);
        case IDC_MODE_EARS:
            return Post(ID_MODE_EARS);
        case IDC_MODE_PROLOGIC:
            return Post(ID_MODE_PROLOGIC);
        case IDC_MODE_SURROUND_61:
            return Post(ID_MODE_SURROUND_61);
        case IDC_THX_OFF:
            return Post(ID_THX_OFF);
        case IDC_THX_ON:
            return Post(ID_THX_ON);
        case IDC_THX_SURROUND_EX:
            return Post(ID_THX_SURROUND_EX);
        default:
            return {};  // the triggers only show their registers
    }
}

}  // namespace r512
