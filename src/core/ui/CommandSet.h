#pragma once

#include <cstdint>
#include <vector>

#include "device/RegisterMirror.h"

namespace r512 {

// Command identifiers: the menu items, and the buttons of the Tone and Levels popups.
enum CommandId : int {
    ID_VIDEO_1 = 32771,
    ID_VIDEO_2 = 32772,
    ID_VIDEO_3 = 32773,
    ID_VIDEO_4 = 32774,
    ID_VIDEO_5 = 32775,
    ID_AUDIO_CD = 32776,
    ID_AUDIO_AUX = 32777,
    ID_AUDIO_TUNER = 32778,
    ID_VIDEO_6 = 32779,
    ID_TAPE_ON = 32780,
    ID_TAPE_OFF = 32781,
    ID_TAPE_TOGGLE = 32782,
    ID_EXIT = 32783,
    ID_CONFIGURE = 32784,
    ID_POWER_WAKE_UP = 32785,
    ID_POWER_STANDBY = 32786,
    ID_POWER_TOGGLE = 32787,
    ID_ZONE_VIDEO_1 = 32790,
    ID_MODE_STEREO_DIRECT = 32798,
    ID_CONTROL_PANEL = 32800,
    ID_ZONE_VIDEO_2 = 32801,
    ID_ZONE_VIDEO_3 = 32802,
    ID_ZONE_VIDEO_4 = 32803,
    ID_ZONE_VIDEO_5 = 32804,
    ID_ZONE_VIDEO_6 = 32805,
    ID_ZONE_CD = 32806,
    ID_ZONE_AUX = 32807,
    ID_ZONE_TUNER = 32808,
    ID_REFRESH = 32809,
    ID_MODE_STEREO_DOWNMIX = 32810,
    ID_MODE_MONO_DOWNMIX = 32811,
    ID_MODE_BYPASS = 32812,
    ID_MODE_EARS = 32813,
    ID_MODE_PROLOGIC = 32814,
    ID_MODE_SURROUND_61 = 32815,
    ID_THX_OFF = 32816,
    ID_THX_ON = 32817,
    ID_THX_SURROUND_EX = 32818,
    ID_NAMES = 32819,
    ID_ABOUT = 32820,

    IDC_BASS_DOWN = 1078,
    IDC_SURROUND_DOWN = 1079,
    IDC_SUBWOOFER_UP = 1080,
    IDC_CENTER_UP = 1081,
    IDC_SURROUND_UP = 1082,
    IDC_TREBLE_UP = 1083,
    IDC_BASS_UP = 1084,
    IDC_SUBWOOFER_DOWN = 1085,
    IDC_TREBLE_DOWN = 1086,
    IDC_CENTER_DOWN = 1087,
};

// What a command identifier does: send device codes (in order; possibly none), or one of the
// program's own commands.
struct CommandAction {
    enum class Kind { Device, Configure, ControlPanel, Names, Refresh, About, Exit, Unknown };
    Kind kind = Kind::Unknown;
    std::vector<std::uint8_t> codes;
};

// Decides a command from its identifier and, for the few that depend on the device's state,
// the register mirror as it stands (whatever the registers' states).
CommandAction DecideCommand(int id, const RegisterMirror& mirror);

// How many "second-zone source: next" steps lead from the zone's current source (the
// RS_ZONE_AUDIO_SOURCE value, 1 to 9) to target 0 to 8 (Video 1 to 6, CD, Aux, Tuner) around
// their cycle; 0 when the target already plays or the current source is unknown (0 or above 9).
int StepMultiSourceCount(std::uint8_t zoneSource, int target);

}  // namespace r512
