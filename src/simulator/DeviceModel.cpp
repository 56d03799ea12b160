#include "simulator/DeviceModel.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

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

namespace {

// What a key does to the registers.
enum class Effect {
    Toggle,          // `reg` between 0 and 1
    Set,             // `reg` to `amount`
    Step,            // `reg` by `amount`, kept within the register's range
    Source,          // selects source `amount`
    Mode,            // selects stereo mode `amount`, leaving THX
    ModeKey,         // leaves THX; otherwise steps through the modes the device offers
    ThxKey,          // off -> THX -> THX Surround EX -> THX -> ...
    ZoneSourceNext,  // steps the zone through the nine sources in a cycle
};

struct KeyEffect {
    std::uint8_t command;
    Effect effect;
    std::uint8_t reg = 0;
    int amount = 0;
};

// Keys whose effect the registers don't show are not listed.
constexpr KeyEffect kKeyEffects[] = {
    {cmd::kPowerToggle, Effect::Toggle, RS_OPER_MODE},
    {cmd::kStandby, Effect::Set, RS_OPER_MODE, 0},
    {cmd::kWakeUp, Effect::Set, RS_OPER_MODE, 1},
    {cmd::kMuteToggle, Effect::Toggle, RS_MUTE},
    {cmd::kLateNightToggle, Effect::Toggle, RS_COMPRESSION},
    {cmd::kVideo1, Effect::Source, 0, 1},
    {cmd::kVideo2, Effect::Source, 0, 2},
    {cmd::kVideo3, Effect::Source, 0, 3},
    {cmd::kVideo4, Effect::Source, 0, 4},
    {cmd::kVideo5, Effect::Source, 0, 5},
    {cmd::kVideo6, Effect::Source, 0, 6},
    {cmd::kCd, Effect::Source, 0, 7},
    {cmd::kAux, Effect::Source, 0, 8},
    {cmd::kTuner, Effect::Source, 0, 9},
    {cmd::kExt51, Effect::Source, 0, kSourceExt51},
    {cmd::kKnobUp, Effect::Step, RS_VOLUME, +1},
    {cmd::kVolumeUp, Effect::Step, RS_VOLUME, +1},
    {cmd::kKnobDown, Effect::Step, RS_VOLUME, -1},
    {cmd::kVolumeDown, Effect::Step, RS_VOLUME, -1},
    {cmd::kTapeMonitorToggle, Effect::Toggle, RS_TAPEMONITOR},
    {cmd::kTapeMonitorPanel, Effect::Toggle, RS_TAPEMONITOR},
    {cmd::kTapeMonitorOff, Effect::Set, RS_TAPEMONITOR, 0},
    {cmd::kTapeMonitorOn, Effect::Set, RS_TAPEMONITOR, 1},
    {cmd::kMonoDownmix, Effect::Mode, 0, 7},
    {cmd::kStereoDownmix, Effect::Mode, 0, 0},
    {cmd::kDolbyPrologic, Effect::Mode, 0, 1},
    {cmd::kSurround61, Effect::Mode, 0, 9},
    {cmd::kEars, Effect::Mode, 0, 10},
    {cmd::kBypass, Effect::Mode, 0, 15},
    {cmd::kModeKey, Effect::ModeKey},
    {cmd::kThxKey, Effect::ThxKey},
    {cmd::kBassUp, Effect::Step, RS_BASS, +1},
    {cmd::kBassDown, Effect::Step, RS_BASS, -1},
    {cmd::kTrebleUp, Effect::Step, RS_TREBLE, +1},
    {cmd::kTrebleDown, Effect::Step, RS_TREBLE, -1},
    {cmd::kSubwooferUp, Effect::Step, RS_SUBWOOFER, +1},
    {cmd::kSubwooferDown, Effect::Step, RS_SUBWOOFER, -1},
    {cmd::kCenterUp, Effect::Step, RS_CENTER, +1},
    {cmd::kCenterDown, Effect::Step, RS_CENTER, -1},
    {cmd::kSurroundUp, Effect::Step, RS_SURROUND, +1},
    {cmd::kSurroundDown, Effect::Step, RS_SURROUND, -1},
    {cmd::kZoneVolumeUp, Effect::Step, RS_ZONE_VOLUME, +1},
    {cmd::kZoneVolumeDown, Effect::Step, RS_ZONE_VOLUME, -1},
    {cmd::kZoneSourceNext, Effect::ZoneSourceNext},
    {cmd::kBrightness, Effect::Toggle, RS_DIMMER},
};

// The volumes go from 10 (-90) to 115 (+15); tone and levels from 0 to 24 (-12 to +12 dB).
std::pair<int, int> StepRange(std::uint8_t code) {
    return code == RS_VOLUME || code == RS_ZONE_VOLUME ? std::pair{10, 115} : std::pair{0, 24};
}

}  // namespace

void DeviceModel::Act(std::uint8_t command) {
    const auto* row = std::find_if(std::begin(kKeyEffects), std::end(kKeyEffects),
                                   [&](const KeyEffect& e) { return e.command == command; });
    if (row == std::end(kKeyEffects)) return;
    // In standby the device takes only the power keys.
    if (Reg(RS_OPER_MODE) == 0 && row->reg != RS_OPER_MODE) return;
    auto reg = [&]() -> std::uint8_t& { return Reg(row->reg); };
    switch (row->effect) {
        case Effect::Toggle:
            reg() = reg() ? 0 : 1;
            break;
        case Effect::Set:
            reg() = static_cast<std::uint8_t>(row->amount);
            break;
        case Effect::Step: {
            const auto [low, high] = StepRange(row->reg);
            reg() = static_cast<std::uint8_t>(std::clamp(reg() + row->amount, low, high));
            break;
        }
        case Effect::Source: {
            const auto source = static_cast<std::uint8_t>(row->amount);
            Reg(RS_AUDIO_SOURCE) = source;
            if (source <= 6) Reg(RS_VIDEO_SOURCE) = source;
            break;
        }
        case Effect::Mode:
            Reg(RS_STEREO_MODE) = static_cast<std::uint8_t>(row->amount);
            Reg(RS_THX) = 0;
            break;
        case Effect::ModeKey:
            if (Reg(RS_THX) != 0) {
                Reg(RS_THX) = 0;
            } else {
                static constexpr std::uint8_t kCycle[] = {0, 1, 7, 9, 10, 15};
                const auto* at =
                    std::find(std::begin(kCycle), std::end(kCycle), Reg(RS_STEREO_MODE));
                const std::size_t index =
                    at == std::end(kCycle) ? 0 : static_cast<std::size_t>(at - kCycle) + 1;
                Reg(RS_STEREO_MODE) = kCycle[index % std::size(kCycle)];
            }
            break;
        case Effect::ThxKey:
            Reg(RS_THX) = Reg(RS_THX) == 1 ? 2 : 1;
            break;
        case Effect::ZoneSourceNext: {
            const std::uint8_t source = Reg(RS_ZONE_AUDIO_SOURCE);
            Reg(RS_ZONE_AUDIO_SOURCE) =
                static_cast<std::uint8_t>(source >= 1 && source < 9 ? source + 1 : 1);
            break;
        }
    }
}

std::vector<std::uint8_t> DeviceModel::Apply(std::uint8_t command) {
    std::vector<std::uint8_t> changed;
    if (command == cmd::kRefresh) {
        for (int i = 0; i < kRegisterCount; ++i)
            changed.push_back(static_cast<std::uint8_t>(kFirstRegister + i));
        return changed;
    }
    const auto before = registers_;
    Act(command);
    for (int i = 0; i < kRegisterCount; ++i) {
        if (registers_[static_cast<std::size_t>(i)] != before[static_cast<std::size_t>(i)])
            changed.push_back(static_cast<std::uint8_t>(kFirstRegister + i));
    }
    return changed;
}

}  // namespace r512::sim
