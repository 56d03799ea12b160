#include "simulator/DeviceModel.h"

#include <algorithm>
#include <cstring>

namespace r512::sim {

namespace {

void PutText(std::array<std::uint8_t, NamesLayout::ImageSize>& image, int offset, int width,
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
    static const char* const kSources[NamesLayout::NameCount] = {
        "Video 1", "Video 2", "Video 3", "Video 4", "Video 5", "Video 6", "CD", "Aux", "Tuner"};
    for (int n = 0; n < NamesLayout::NameCount; ++n)
        PutText(names_, NamesLayout::SourceTableOffset + NamesLayout::NameLength * n,
                NamesLayout::NameLength, kSources[n]);
    PutText(names_, NamesLayout::WelcomeOffset, NamesLayout::LineLength, "   ZEL R-512");
    PutText(names_, NamesLayout::WelcomeOffset + 20, NamesLayout::LineLength, "Digital Surround");
    PutText(names_, NamesLayout::StandbyOffset, NamesLayout::LineLength, "To Infinity and");
    PutText(names_, NamesLayout::StandbyOffset + 20, NamesLayout::LineLength, "beyond...");
}

void DeviceModel::Step(std::uint8_t code, int delta, int low, int high) {
    Reg(code) = static_cast<std::uint8_t>(std::clamp(Reg(code) + delta, low, high));
}

void DeviceModel::Toggle(std::uint8_t code) { Reg(code) = Reg(code) ? 0 : 1; }

std::vector<std::uint8_t> DeviceModel::Apply(std::uint8_t command) {
    std::vector<std::uint8_t> changed;
    if (command == Cmd::Refresh) {
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
        case Cmd::PowerToggle:
            Toggle(RS_OPER_MODE);
            break;
        case Cmd::Standby:
            Reg(RS_OPER_MODE) = 0;
            break;
        case Cmd::WakeUp:
            Reg(RS_OPER_MODE) = 1;
            break;
        default:
            // In standby the device takes only the power keys.
            if (!on) break;
            switch (command) {
                case Cmd::MuteToggle:
                    Toggle(RS_MUTE);
                    break;
                case Cmd::LateNightToggle:
                    Toggle(RS_COMPRESSION);
                    break;
                case Cmd::Video1:
                case Cmd::Video2:
                case Cmd::Video3:
                case Cmd::Video4:
                case Cmd::Video5:
                case Cmd::Video6:
                    selectSource(static_cast<std::uint8_t>(command - Cmd::Video1 + 1));
                    break;
                case Cmd::Cd:
                    selectSource(7);
                    break;
                case Cmd::Aux:
                    selectSource(8);
                    break;
                case Cmd::Tuner:
                    selectSource(9);
                    break;
                case Cmd::Ext51:
                    selectSource(kSourceExt51);
                    break;
                case Cmd::KnobUp:
                case Cmd::VolumeUp:
                    Step(RS_VOLUME, +1, 10, 115);
                    break;
                case Cmd::KnobDown:
                case Cmd::VolumeDown:
                    Step(RS_VOLUME, -1, 10, 115);
                    break;
                case Cmd::TapeMonitorToggle:
                case Cmd::TapeMonitorPanel:
                    Toggle(RS_TAPEMONITOR);
                    break;
                case Cmd::TapeMonitorOff:
                    Reg(RS_TAPEMONITOR) = 0;
                    break;
                case Cmd::TapeMonitorOn:
                    Reg(RS_TAPEMONITOR) = 1;
                    break;
                case Cmd::MonoDownmix:
                    selectMode(7);
                    break;
                case Cmd::StereoDownmix:
                    selectMode(0);
                    break;
                case Cmd::DolbyPrologic:
                    selectMode(1);
                    break;
                case Cmd::Surround61:
                    selectMode(9);
                    break;
                case Cmd::Ears:
                    selectMode(10);
                    break;
                case Cmd::Bypass:
                    selectMode(15);
                    break;
                case Cmd::ModeKey:
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
                case Cmd::ThxKey:  // off -> THX -> THX Surround EX -> THX -> ...
                    Reg(RS_THX) = Reg(RS_THX) == 1 ? 2 : 1;
                    break;
                case Cmd::BassUp:
                    Step(RS_BASS, +1, 0, 24);
                    break;
                case Cmd::BassDown:
                    Step(RS_BASS, -1, 0, 24);
                    break;
                case Cmd::TrebleUp:
                    Step(RS_TREBLE, +1, 0, 24);
                    break;
                case Cmd::TrebleDown:
                    Step(RS_TREBLE, -1, 0, 24);
                    break;
                case Cmd::SubwooferUp:
                    Step(RS_SUBWOOFER, +1, 0, 24);
                    break;
                case Cmd::SubwooferDown:
                    Step(RS_SUBWOOFER, -1, 0, 24);
                    break;
                case Cmd::CenterUp:
                    Step(RS_CENTER, +1, 0, 24);
                    break;
                case Cmd::CenterDown:
                    Step(RS_CENTER, -1, 0, 24);
                    break;
                case Cmd::SurroundUp:
                    Step(RS_SURROUND, +1, 0, 24);
                    break;
                case Cmd::SurroundDown:
                    Step(RS_SURROUND, -1, 0, 24);
                    break;
                case Cmd::ZoneVolumeUp:
                    Step(RS_ZONE_VOLUME, +1, 10, 115);
                    break;
                case Cmd::ZoneVolumeDown:
                    Step(RS_ZONE_VOLUME, -1, 10, 115);
                    break;
                case Cmd::ZoneSourceNext: {
                    const std::uint8_t source = Reg(RS_ZONE_AUDIO_SOURCE);
                    Reg(RS_ZONE_AUDIO_SOURCE) =
                        static_cast<std::uint8_t>(source >= 1 && source < 9 ? source + 1 : 1);
                    break;
                }
                case Cmd::Brightness:
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
