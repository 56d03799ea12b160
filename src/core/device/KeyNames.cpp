#include "device/KeyNames.h"

#include <cctype>

#include "device/Protocol.h"

namespace r512 {

namespace {

// clang-format off
constexpr KeyName kKeys[] = {
    {"power", cmd::kPowerToggle},
    {"mute", cmd::kMuteToggle},
    {"late-night", cmd::kLateNightToggle},
    {"source-video-1", cmd::kVideo1},
    {"source-video-2", cmd::kVideo2},
    {"source-video-3", cmd::kVideo3},
    {"source-video-4", cmd::kVideo4},
    {"source-video-5", cmd::kVideo5},
    {"source-video-6", cmd::kVideo6},
    {"source-cd", cmd::kCd},
    {"source-aux", cmd::kAux},
    {"knob-up", cmd::kKnobUp},
    {"knob-down", cmd::kKnobDown},
    {"levels", cmd::kLevelsKey},
    {"delay", cmd::kDelayKey},
    {"tape-monitor", cmd::kTapeMonitorToggle},
    {"thx", cmd::kThxKey},
    {"tape-monitor-panel", cmd::kTapeMonitorPanel},
    {"standby", cmd::kStandby},
    {"wake-up", cmd::kWakeUp},
    {"tape-monitor-off", cmd::kTapeMonitorOff},
    {"tape-monitor-on", cmd::kTapeMonitorOn},
    {"mono-downmix", cmd::kMonoDownmix},
    {"stereo-downmix", cmd::kStereoDownmix},
    {"dolby-prologic", cmd::kDolbyPrologic},
    {"surround-6.1", cmd::kSurround61},
    {"ears", cmd::kEars},
    {"bypass", cmd::kBypass},
    {"volume-up", cmd::kVolumeUp},
    {"volume-down", cmd::kVolumeDown},
    {"bass-up", cmd::kBassUp},
    {"bass-down", cmd::kBassDown},
    {"treble-up", cmd::kTrebleUp},
    {"treble-down", cmd::kTrebleDown},
    {"source-tuner", cmd::kTuner},
    {"speakers", cmd::kSpeakersKey},
    {"subwoofer-up", cmd::kSubwooferUp},
    {"subwoofer-down", cmd::kSubwooferDown},
    {"source-ext-5.1", cmd::kExt51},
    {"tone", cmd::kToneKey},
    {"audio", cmd::kAudioKey},
    {"video", cmd::kVideoKey},
    {"multi-source", cmd::kMultiSourceKey},
    {"mode", cmd::kModeKey},
    {"brightness", cmd::kBrightness},
    {"center-up", cmd::kCenterUp},
    {"center-down", cmd::kCenterDown},
    {"surround-up", cmd::kSurroundUp},
    {"surround-down", cmd::kSurroundDown},
    {"zone-volume-up", cmd::kZoneVolumeUp},
    {"zone-volume-down", cmd::kZoneVolumeDown},
    {"zone-source-next", cmd::kZoneSourceNext},
    {"refresh", cmd::kRefresh},
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
