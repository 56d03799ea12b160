#include "device/Protocol.h"

namespace r512 {

const char* RegisterName(std::uint8_t code) {
    static const char* const kNames[kRegisterCount] = {
        "RS_VOLUME",
        "RS_MUTE",
        "RS_AUDIO_SOURCE",
        "RS_VIDEO_SOURCE",
        "RS_OPER_MODE",
        "RS_ZONE_AUDIO_SOURCE",
        "RS_ZONE_VIDEO_SOURCE",
        "RS_ZONE_VOLUME",
        "RS_ZONE_MUTE",
        "RS_DIMMER",
        "RS_TAPEMONITOR",
        "RS_STEREO_MODE",
        "RS_SIGNAL_TYPE",
        "RS_AUDIO_INPUT_TYPE",
        "RS_COMPRESSION",
        "RS_CINEEQ",
        "RS_VIDEO_INPUT_TYPE",
        "RS_TREBLE",
        "RS_BASS",
        "RS_CENTER",
        "RS_SURROUND",
        "RS_SUBWOOFER",
        "RS_TRIGGER1",
        "RS_TRIGGER2",
        "RS_TV_SYSTEM",
        "RS_THX",
    };
    return IsRegisterCode(code) ? kNames[code - kFirstRegister] : "";
}

const char* CommandName(std::uint8_t code) {
    switch (code) {
        case cmd::kNamesTransferDone:
            return "names transfer done";
        case cmd::kPowerToggle:
            return "power on/off toggle";
        case cmd::kMuteToggle:
            return "mute toggle";
        case cmd::kLateNightToggle:
            return "late-night toggle";
        case cmd::kVideo1:
            return "select Video 1";
        case cmd::kVideo2:
            return "select Video 2";
        case cmd::kVideo3:
            return "select Video 3";
        case cmd::kVideo4:
            return "select Video 4";
        case cmd::kVideo5:
            return "select Video 5";
        case cmd::kVideo6:
            return "select Video 6";
        case cmd::kCd:
            return "select CD";
        case cmd::kAux:
            return "select Aux";
        case cmd::kKnobUp:
            return "control knob up";
        case cmd::kKnobDown:
            return "control knob down";
        case cmd::kLevelsKey:
            return "Levels key";
        case cmd::kDelayKey:
            return "Delay key";
        case cmd::kTapeMonitorToggle:
            return "tape monitor toggle";
        case cmd::kThxKey:
            return "THX key";
        case cmd::kTapeMonitorPanel:
            return "tape monitor (Control Panel)";
        case cmd::kStandby:
            return "standby";
        case cmd::kWakeUp:
            return "wake up";
        case cmd::kTapeMonitorOff:
            return "tape monitor off";
        case cmd::kTapeMonitorOn:
            return "tape monitor on";
        case cmd::kMonoDownmix:
            return "Mono Downmix";
        case cmd::kStereoDownmix:
            return "Stereo Downmix";
        case cmd::kDolbyPrologic:
            return "Dolby Prologic";
        case cmd::kSurround61:
            return "Surround 6.1";
        case cmd::kEars:
            return "Ears";
        case cmd::kBypass:
            return "Bypass";
        case cmd::kVolumeUp:
            return "volume up";
        case cmd::kVolumeDown:
            return "volume down";
        case cmd::kBassUp:
            return "bass up";
        case cmd::kBassDown:
            return "bass down";
        case cmd::kTrebleUp:
            return "treble up";
        case cmd::kTrebleDown:
            return "treble down";
        case cmd::kTuner:
            return "select Tuner";
        case cmd::kSpeakersKey:
            return "Speakers key";
        case cmd::kSubwooferUp:
            return "subwoofer level up";
        case cmd::kSubwooferDown:
            return "subwoofer level down";
        case cmd::kExt51:
            return "select Ext 5.1";
        case cmd::kToneKey:
            return "Tone key";
        case cmd::kAudioKey:
            return "Audio key";
        case cmd::kVideoKey:
            return "Video key";
        case cmd::kMultiSourceKey:
            return "Multi Source key";
        case cmd::kModeKey:
            return "Mode key";
        case cmd::kBrightness:
            return "brightness (dimmer)";
        case cmd::kCenterUp:
            return "centre level up";
        case cmd::kCenterDown:
            return "centre level down";
        case cmd::kSurroundUp:
            return "surround level up";
        case cmd::kSurroundDown:
            return "surround level down";
        case cmd::kZoneVolumeUp:
            return "second-zone volume up";
        case cmd::kZoneVolumeDown:
            return "second-zone volume down";
        case cmd::kZoneSourceNext:
            return "second-zone source: next";
        case cmd::kRefresh:
            return "refresh: report every register";
        default:
            return "unknown command";
    }
}

}  // namespace r512
