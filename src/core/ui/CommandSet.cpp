#include "ui/CommandSet.h"

#include "device/Protocol.h"

namespace r512 {

namespace {

struct FixedCommand {
    int id;
    std::uint8_t code;
};

// Commands that always send the same code.
constexpr FixedCommand kFixed[] = {
    {ID_POWER_WAKE_UP, cmd::kWakeUp},
    {ID_POWER_STANDBY, cmd::kStandby},
    {ID_POWER_TOGGLE, cmd::kPowerToggle},
    {ID_VIDEO_1, cmd::kVideo1},
    {ID_VIDEO_2, cmd::kVideo2},
    {ID_VIDEO_3, cmd::kVideo3},
    {ID_VIDEO_4, cmd::kVideo4},
    {ID_VIDEO_5, cmd::kVideo5},
    {ID_VIDEO_6, cmd::kVideo6},
    {ID_AUDIO_CD, cmd::kCd},
    {ID_AUDIO_AUX, cmd::kAux},
    {ID_AUDIO_TUNER, cmd::kTuner},
    {ID_TAPE_ON, cmd::kTapeMonitorOn},
    {ID_TAPE_OFF, cmd::kTapeMonitorOff},
    {ID_TAPE_TOGGLE, cmd::kTapeMonitorToggle},
    {ID_MODE_STEREO_DOWNMIX, cmd::kStereoDownmix},
    {ID_MODE_MONO_DOWNMIX, cmd::kMonoDownmix},
    {ID_MODE_BYPASS, cmd::kBypass},
    {ID_MODE_EARS, cmd::kEars},
    {ID_MODE_PROLOGIC, cmd::kDolbyPrologic},
    {ID_MODE_SURROUND_61, cmd::kSurround61},
    {IDC_TREBLE_UP, cmd::kTrebleUp},
    {IDC_TREBLE_DOWN, cmd::kTrebleDown},
    {IDC_BASS_UP, cmd::kBassUp},
    {IDC_BASS_DOWN, cmd::kBassDown},
    {IDC_SUBWOOFER_UP, cmd::kSubwooferUp},
    {IDC_SUBWOOFER_DOWN, cmd::kSubwooferDown},
    {IDC_CENTER_UP, cmd::kCenterUp},
    {IDC_CENTER_DOWN, cmd::kCenterDown},
    {IDC_SURROUND_UP, cmd::kSurroundUp},
    {IDC_SURROUND_DOWN, cmd::kSurroundDown},
};

// The Multi Source items, in the order of the zone's source cycle.
constexpr int kZoneTargets[9] = {ID_ZONE_VIDEO_1, ID_ZONE_VIDEO_2, ID_ZONE_VIDEO_3,
                                 ID_ZONE_VIDEO_4, ID_ZONE_VIDEO_5, ID_ZONE_VIDEO_6,
                                 ID_ZONE_CD,      ID_ZONE_AUX,     ID_ZONE_TUNER};

CommandAction Device(std::vector<std::uint8_t> codes) {
    return {CommandAction::Kind::Device, std::move(codes)};
}

}  // namespace

int StepMultiSourceCount(std::uint8_t zoneSource, int target) {
    if (zoneSource == 0 || zoneSource > 9 || target < 0 || target > 8) return 0;
    const int current = zoneSource - 1;
    return current <= target ? target - current : target - current + 9;
}

CommandAction DecideCommand(int id, const RegisterMirror& mirror) {
    using Kind = CommandAction::Kind;
    for (const FixedCommand& command : kFixed) {
        if (command.id == id) return Device({command.code});
    }
    for (int target = 0; target < 9; ++target) {
        if (kZoneTargets[target] != id) continue;
        const int steps = StepMultiSourceCount(mirror.Value(RS_ZONE_AUDIO_SOURCE), target);
        return Device(
            std::vector<std::uint8_t>(static_cast<std::size_t>(steps), cmd::kZoneSourceNext));
    }
    const std::uint8_t thx = mirror.Value(RS_THX);
    switch (id) {
        case ID_MODE_STEREO_DIRECT: {
            // Dolby Digital and DTS material has its own direct mode.
            const std::uint8_t signal = mirror.Value(RS_SIGNAL_TYPE);
            return Device({IsDolbyDigitalOrDts(signal) ? cmd::kBypass : cmd::kStereoDownmix});
        }
        case ID_THX_OFF:
            return Device(thx != 0 ? std::vector<std::uint8_t>{cmd::kModeKey}
                                   : std::vector<std::uint8_t>{});
        case ID_THX_ON:
            return Device(thx != 1 ? std::vector<std::uint8_t>{cmd::kThxKey}
                                   : std::vector<std::uint8_t>{});
        case ID_THX_SURROUND_EX:
            // Each THX key press steps off -> THX -> THX Surround EX.
            return Device(thx == 0   ? std::vector<std::uint8_t>{cmd::kThxKey, cmd::kThxKey}
                          : thx == 1 ? std::vector<std::uint8_t>{cmd::kThxKey}
                                     : std::vector<std::uint8_t>{});
        case ID_CONFIGURE:
            return {Kind::Configure, {}};
        case ID_CONTROL_PANEL:
            return {Kind::ControlPanel, {}};
        case ID_NAMES:
            return {Kind::Names, {}};
        case ID_REFRESH:
            return {Kind::Refresh, {}};
        case ID_ABOUT:
            return {Kind::About, {}};
        case ID_EXIT:
            return {Kind::Exit, {}};
        default:
            return {Kind::Unknown, {}};
    }
}

}  // namespace r512
