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
    {ID_POWER_WAKE_UP, Cmd::WakeUp},
    {ID_POWER_STANDBY, Cmd::Standby},
    {ID_POWER_TOGGLE, Cmd::PowerToggle},
    {ID_VIDEO_1, Cmd::Video1},
    {ID_VIDEO_2, Cmd::Video2},
    {ID_VIDEO_3, Cmd::Video3},
    {ID_VIDEO_4, Cmd::Video4},
    {ID_VIDEO_5, Cmd::Video5},
    {ID_VIDEO_6, Cmd::Video6},
    {ID_AUDIO_CD, Cmd::Cd},
    {ID_AUDIO_AUX, Cmd::Aux},
    {ID_AUDIO_TUNER, Cmd::Tuner},
    {ID_TAPE_ON, Cmd::TapeMonitorOn},
    {ID_TAPE_OFF, Cmd::TapeMonitorOff},
    {ID_TAPE_TOGGLE, Cmd::TapeMonitorToggle},
    {ID_MODE_STEREO_DOWNMIX, Cmd::StereoDownmix},
    {ID_MODE_MONO_DOWNMIX, Cmd::MonoDownmix},
    {ID_MODE_BYPASS, Cmd::Bypass},
    {ID_MODE_EARS, Cmd::Ears},
    {ID_MODE_PROLOGIC, Cmd::DolbyPrologic},
    {ID_MODE_SURROUND_61, Cmd::Surround61},
    {IDC_TREBLE_UP, Cmd::TrebleUp},
    {IDC_TREBLE_DOWN, Cmd::TrebleDown},
    {IDC_BASS_UP, Cmd::BassUp},
    {IDC_BASS_DOWN, Cmd::BassDown},
    {IDC_SUBWOOFER_UP, Cmd::SubwooferUp},
    {IDC_SUBWOOFER_DOWN, Cmd::SubwooferDown},
    {IDC_CENTER_UP, Cmd::CenterUp},
    {IDC_CENTER_DOWN, Cmd::CenterDown},
    {IDC_SURROUND_UP, Cmd::SurroundUp},
    {IDC_SURROUND_DOWN, Cmd::SurroundDown},
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
            std::vector<std::uint8_t>(static_cast<std::size_t>(steps), Cmd::ZoneSourceNext));
    }
    const std::uint8_t thx = mirror.Value(RS_THX);
    switch (id) {
        case ID_MODE_STEREO_DIRECT: {
            // Dolby Digital and DTS material has its own direct mode.
            const std::uint8_t signal = mirror.Value(RS_SIGNAL_TYPE);
            return Device({IsDolbyDigitalOrDts(signal) ? Cmd::Bypass : Cmd::StereoDownmix});
        }
        case ID_THX_OFF:
            return Device(thx != 0 ? std::vector<std::uint8_t>{Cmd::ModeKey}
                                   : std::vector<std::uint8_t>{});
        case ID_THX_ON:
            return Device(thx != 1 ? std::vector<std::uint8_t>{Cmd::ThxKey}
                                   : std::vector<std::uint8_t>{});
        case ID_THX_SURROUND_EX:
            // Each THX key press steps off -> THX -> THX Surround EX.
            return Device(thx == 0   ? std::vector<std::uint8_t>{Cmd::ThxKey, Cmd::ThxKey}
                          : thx == 1 ? std::vector<std::uint8_t>{Cmd::ThxKey}
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
