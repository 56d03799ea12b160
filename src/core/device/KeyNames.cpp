#include "device/KeyNames.h"

#include <cctype>

#include "device/Protocol.h"

namespace r512 {

namespace {

// clang-format off
constexpr KeyName kKeys[] = {
    {"power", Cmd::PowerToggle},
    {"mute", Cmd::MuteToggle},
    {"late-night", Cmd::LateNightToggle},
    {"source-video-1", Cmd::Video1},
    {"source-video-2", Cmd::Video2},
    {"source-video-3", Cmd::Video3},
    {"source-video-4", Cmd::Video4},
    {"source-video-5", Cmd::Video5},
    {"source-video-6", Cmd::Video6},
    {"source-cd", Cmd::Cd},
    {"source-aux", Cmd::Aux},
    {"knob-up", Cmd::KnobUp},
    {"knob-down", Cmd::KnobDown},
    {"levels", Cmd::LevelsKey},
    {"delay", Cmd::DelayKey},
    {"tape-monitor", Cmd::TapeMonitorToggle},
    {"thx", Cmd::ThxKey},
    {"tape-monitor-panel", Cmd::TapeMonitorPanel},
    {"standby", Cmd::Standby},
    {"wake-up", Cmd::WakeUp},
    {"tape-monitor-off", Cmd::TapeMonitorOff},
    {"tape-monitor-on", Cmd::TapeMonitorOn},
    {"mono-downmix", Cmd::MonoDownmix},
    {"stereo-downmix", Cmd::StereoDownmix},
    {"dolby-prologic", Cmd::DolbyPrologic},
    {"surround-6.1", Cmd::Surround61},
    {"ears", Cmd::Ears},
    {"bypass", Cmd::Bypass},
    {"volume-up", Cmd::VolumeUp},
    {"volume-down", Cmd::VolumeDown},
    {"bass-up", Cmd::BassUp},
    {"bass-down", Cmd::BassDown},
    {"treble-up", Cmd::TrebleUp},
    {"treble-down", Cmd::TrebleDown},
    {"source-tuner", Cmd::Tuner},
    {"speakers", Cmd::SpeakersKey},
    {"subwoofer-up", Cmd::SubwooferUp},
    {"subwoofer-down", Cmd::SubwooferDown},
    {"source-ext-5.1", Cmd::Ext51},
    {"tone", Cmd::ToneKey},
    {"audio", Cmd::AudioKey},
    {"video", Cmd::VideoKey},
    {"multi-source", Cmd::MultiSourceKey},
    {"mode", Cmd::ModeKey},
    {"brightness", Cmd::Brightness},
    {"center-up", Cmd::CenterUp},
    {"center-down", Cmd::CenterDown},
    {"surround-up", Cmd::SurroundUp},
    {"surround-down", Cmd::SurroundDown},
    {"zone-volume-up", Cmd::ZoneVolumeUp},
    {"zone-volume-down", Cmd::ZoneVolumeDown},
    {"zone-source-next", Cmd::ZoneSourceNext},
    {"refresh", Cmd::Refresh},
};
// clang-format on

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

std::span<const KeyName> KeyNames() { return kKeys; }

int KeyCode(std::string_view name) {
    for (const KeyName& key : kKeys) {
        if (SameName(key.name, name)) return key.code;
    }
    return -1;
}

const char* KeyNameOf(std::uint8_t code) {
    for (const KeyName& key : kKeys) {
        if (key.code == code) return key.name;
    }
    return nullptr;
}

}  // namespace r512
