#include "simulator/DeviceModel.h"

#include <algorithm>
#include <cstring>

namespace r512::sim {

namespace {

void PutText(std::array<std::uint8_t, names_layout::kImageSize>& image, int offset, int width,
             const char* text) {
    const int length = std::min<int>(width, static_cast<int>(std::strlen(text)));
    std::memset(image.data() + offset, ' ', static_cast<std::size_t>(width));
    std::memcpy(image.data() + offset, text, static_cast<std::size_t>(length));
}

}  // namespace

DeviceModel::DeviceModel() {
    // A device that has just been switched on, playing a CD.
    Reg(RS_VOLUME) = 65;  // -35
    Reg(RS_MUTE) = 0;
    Reg(RS_AUDIO_SOURCE) = 7;
    Reg(RS_VIDEO_SOURCE) = 7;
    Reg(RS_OPER_MODE) = 1;
    Reg(RS_ZONE_AUDIO_SOURCE) = 9;
    Reg(RS_ZONE_VIDEO_SOURCE) = 1;
    Reg(RS_ZONE_VOLUME) = 70;  // -30
    Reg(RS_STEREO_MODE) = 0;
    Reg(RS_SIGNAL_TYPE) = 2;       // Digital PCM
    Reg(RS_AUDIO_INPUT_TYPE) = 1;  // Coaxial
    Reg(RS_VIDEO_INPUT_TYPE) = 1;  // Composite
    for (std::uint8_t code : {RS_TREBLE, RS_BASS, RS_CENTER, RS_SURROUND, RS_SUBWOOFER})
        Reg(code) = 12;  // 0 dB
    Reg(RS_TRIGGER1) = 1;
    Reg(RS_TV_SYSTEM) = 1;  // PAL

    // The names memory: the factory texts, and a recognisable pattern of printable bytes
    // everywhere else so that a transfer that moves a byte shows.
    for (std::size_t i = 0; i < names_.size(); ++i)
        names_[i] = static_cast<std::uint8_t>(0x21 + (i * 7) % 0x5E);
    static const char* const kSources[names_layout::kNameCount] = {
        "Video 1", "Video 2", "Video 3", "Video 4", "Video 5", "Video 6", "CD", "Aux", "Tuner"};
    for (int n = 0; n < names_layout::kNameCount; ++n)
        PutText(names_, names_layout::kSourceTableOffset + names_layout::kNameLength * n,
                names_layout::kNameLength, kSources[n]);
    PutText(names_, names_layout::kWelcomeOffset, names_layout::kLineLength, "   ZEL R-512");
    PutText(names_, names_layout::kWelcomeOffset + 20, names_layout::kLineLength,
            "Digital Surround");
    PutText(names_, names_layout::kStandbyOffset, names_layout::kLineLength, "To Infinity and");
    PutText(names_, names_layout::kStandbyOffset + 20, names_layout::kLineLength, "beyond...");
}

void DeviceModel::Step(std::uint8_t code, int delta, int low, int high) {
    Reg(code) = static_cast<std::uint8_t>(std::clamp(Reg(code) + delta, low, high));
}

void DeviceModel::Toggle(std::uint8_t code) { Reg(code) = Reg(code) ? 0 : 1; }

std::vector<std::uint8_t> DeviceModel::Apply(std::uint8_t command) {
    std::vector<std::uint8_t> changed;
    if (command == cmd::kRefresh) {
        for (int i = 0; i < kRegisterCount; ++i)
            changed.push_back(static_cast<std::uint8_t>(kFirstRegister + i));
        return changed;
    }

    const auto before = registers_;
    const bool on = Reg(RS_OPER_MODE) != 0;
    auto selectSource = [&](std::uint8_t source) {
        Reg(RS_AUDIO_SOURCE) = source;
        Reg(RS_VIDEO_SOURCE) = source <= 6 ? source : Reg(RS_VIDEO_SOURCE);
    };
    auto selectMode = [&](std::uint8_t mode) {
        Reg(RS_STEREO_MODE) = mode;
        Reg(RS_THX) = 0;
    };

    switch (command) {
        case cmd::kPowerToggle:
            Toggle(RS_OPER_MODE);
            break;
        case cmd::kStandby:
            Reg(RS_OPER_MODE) = 0;
            break;
        case cmd::kWakeUp:
            Reg(RS_OPER_MODE) = 1;
            break;
        default:
            // In standby the device takes only the power keys.
            if (!on) break;
            switch (command) {
                case cmd::kMuteToggle:
                    Toggle(RS_MUTE);
                    break;
                case cmd::kLateNightToggle:
                    Toggle(RS_COMPRESSION);
                    break;
                case cmd::kVideo1:
                case cmd::kVideo2:
                case cmd::kVideo3:
                case cmd::kVideo4:
                case cmd::kVideo5:
                case cmd::kVideo6:
                    selectSource(static_cast<std::uint8_t>(command - cmd::kVideo1 + 1));
                    break;
                case cmd::kCd:
                    selectSource(7);
                    break;
                case cmd::kAux:
                    selectSource(8);
                    break;
                case cmd::kTuner:
                    selectSource(9);
                    break;
                case cmd::kExt51:
                    selectSource(kSourceExt51);
                    break;
                case cmd::kKnobUp:
                case cmd::kVolumeUp:
                    Step(RS_VOLUME, +1, 10, 115);
                    break;
                case cmd::kKnobDown:
                case cmd::kVolumeDown:
                    Step(RS_VOLUME, -1, 10, 115);
                    break;
                case cmd::kTapeMonitorToggle:
                case cmd::kTapeMonitorPanel:
                    Toggle(RS_TAPEMONITOR);
                    break;
                case cmd::kTapeMonitorOff:
                    Reg(RS_TAPEMONITOR) = 0;
                    break;
                case cmd::kTapeMonitorOn:
                    Reg(RS_TAPEMONITOR) = 1;
                    break;
                case cmd::kMonoDownmix:
                    selectMode(7);
                    break;
                case cmd::kStereoDownmix:
                    selectMode(0);
                    break;
                case cmd::kDolbyPrologic:
                    selectMode(1);
                    break;
                case cmd::kSurround61:
                    selectMode(9);
                    break;
                case cmd::kEars:
                    selectMode(10);
                    break;
                case cmd::kBypass:
                    selectMode(15);
                    break;
                case cmd::kModeKey:
                    // Leaves THX; otherwise steps through the modes the device offers.
                    if (Reg(RS_THX) != 0) {
                        Reg(RS_THX) = 0;
                    } else {
                        static const std::uint8_t kCycle[] = {0, 1, 7, 9, 10, 15};
                        const auto* at =
                            std::find(std::begin(kCycle), std::end(kCycle), Reg(RS_STEREO_MODE));
                        const std::size_t index =
                            at == std::end(kCycle) ? 0 : static_cast<std::size_t>(at - kCycle) + 1;
                        Reg(RS_STEREO_MODE) = kCycle[index % std::size(kCycle)];
                    }
                    break;
                case cmd::kThxKey:  // off -> THX -> THX Surround EX -> THX -> ...
                    Reg(RS_THX) = Reg(RS_THX) == 1 ? 2 : 1;
                    break;
                case cmd::kBassUp:
                    Step(RS_BASS, +1, 0, 24);
                    break;
                case cmd::kBassDown:
                    Step(RS_BASS, -1, 0, 24);
                    break;
                case cmd::kTrebleUp:
                    Step(RS_TREBLE, +1, 0, 24);
                    break;
                case cmd::kTrebleDown:
                    Step(RS_TREBLE, -1, 0, 24);
                    break;
                case cmd::kSubwooferUp:
                    Step(RS_SUBWOOFER, +1, 0, 24);
                    break;
                case cmd::kSubwooferDown:
                    Step(RS_SUBWOOFER, -1, 0, 24);
                    break;
                case cmd::kCenterUp:
                    Step(RS_CENTER, +1, 0, 24);
                    break;
                case cmd::kCenterDown:
                    Step(RS_CENTER, -1, 0, 24);
                    break;
                case cmd::kSurroundUp:
                    Step(RS_SURROUND, +1, 0, 24);
                    break;
                case cmd::kSurroundDown:
                    Step(RS_SURROUND, -1, 0, 24);
                    break;
                case cmd::kZoneVolumeUp:
                    Step(RS_ZONE_VOLUME, +1, 10, 115);
                    break;
                case cmd::kZoneVolumeDown:
                    Step(RS_ZONE_VOLUME, -1, 10, 115);
                    break;
                case cmd::kZoneSourceNext: {
                    const std::uint8_t source = Reg(RS_ZONE_AUDIO_SOURCE);
                    Reg(RS_ZONE_AUDIO_SOURCE) =
                        static_cast<std::uint8_t>(source >= 1 && source < 9 ? source + 1 : 1);
                    break;
                }
                case cmd::kBrightness:
                    Toggle(RS_DIMMER);
                    break;
                default:
                    break;  // keys whose effect the registers don't show
            }
    }

    for (int i = 0; i < kRegisterCount; ++i) {
        if (registers_[static_cast<std::size_t>(i)] != before[static_cast<std::size_t>(i)])
            changed.push_back(static_cast<std::uint8_t>(kFirstRegister + i));
    }
    return changed;
}

}  // namespace r512::sim
