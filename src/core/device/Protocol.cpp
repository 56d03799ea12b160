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
        case Cmd::NamesTransferDone:
            return "names transfer done";
        case Cmd::PowerToggle:
            return "power on/off toggle";
        case Cmd::MuteToggle:
            return "mute toggle";
        case Cmd::LateNightToggle:
            return "late-night toggle";
        case Cmd::Video1:
            return "select Video 1";
        case Cmd::Video2:
            return "select Video 2";
        case Cmd::Video3:
            return "select Video 3";
        case Cmd::Video4:
            return "select Video 4";
        case Cmd::Video5:
            return "select Video 5";
        case Cmd::Video6:
            return "select Video 6";
        case Cmd::Cd:
            return "select CD";
        case Cmd::Aux:
            return "select Aux";
        case Cmd::KnobUp:
            return "control knob up";
        case Cmd::KnobDown:
            return "control knob down";
        case Cmd::LevelsKey:
            return "Levels key";
        case Cmd::DelayKey:
            return "Delay key";
        case Cmd::TapeMonitorToggle:
            return "tape monitor toggle";
        case Cmd::ThxKey:
            return "THX key";
        case Cmd::TapeMonitorPanel:
            return "tape monitor (Control Panel)";
        case Cmd::Standby:
            return "standby";
        case Cmd::WakeUp:
            return "wake up";
        case Cmd::TapeMonitorOff:
            return "tape monitor off";
        case Cmd::TapeMonitorOn:
            return "tape monitor on";
        case Cmd::MonoDownmix:
            return "Mono Downmix";
        case Cmd::StereoDownmix:
            return "Stereo Downmix";
        case Cmd::DolbyPrologic:
            return "Dolby Prologic";
        case Cmd::Surround61:
            return "Surround 6.1";
        case Cmd::Ears:
            return "Ears";
        case Cmd::Bypass:
            return "Bypass";
        case Cmd::VolumeUp:
            return "volume up";
        case Cmd::VolumeDown:
            return "volume down";
        case Cmd::BassUp:
            return "bass up";
        case Cmd::BassDown:
            return "bass down";
        case Cmd::TrebleUp:
            return "treble up";
        case Cmd::TrebleDown:
            return "treble down";
        case Cmd::Tuner:
            return "select Tuner";
        case Cmd::SpeakersKey:
            return "Speakers key";
        case Cmd::SubwooferUp:
            return "subwoofer level up";
        case Cmd::SubwooferDown:
            return "subwoofer level down";
        case Cmd::Ext51:
            return "select Ext 5.1";
        case Cmd::ToneKey:
            return "Tone key";
        case Cmd::AudioKey:
            return "Audio key";
        case Cmd::VideoKey:
            return "Video key";
        case Cmd::MultiSourceKey:
            return "Multi Source key";
        case Cmd::ModeKey:
            return "Mode key";
        case Cmd::Brightness:
            return "brightness (dimmer)";
        case Cmd::CenterUp:
            return "centre level up";
        case Cmd::CenterDown:
            return "centre level down";
        case Cmd::SurroundUp:
            return "surround level up";
        case Cmd::SurroundDown:
            return "surround level down";
        case Cmd::ZoneVolumeUp:
            return "second-zone volume up";
        case Cmd::ZoneVolumeDown:
            return "second-zone volume down";
        case Cmd::ZoneSourceNext:
            return "second-zone source: next";
        case Cmd::Refresh:
            return "refresh: report every register";
        default:
            return "unknown command";
    }
}

}  // namespace r512
