#include "ctl/SetTargets.h"

#include <cctype>
#include <cstdlib>

#include "device/Protocol.h"
#include "ui/CommandSet.h"

namespace r512::ctl {

namespace {

// clang-format off
constexpr SetChoice kSources[] = {
    {"video-1", 1, Cmd::Video1, false}, {"video-2", 2, Cmd::Video2, false},
    {"video-3", 3, Cmd::Video3, false}, {"video-4", 4, Cmd::Video4, false},
    {"video-5", 5, Cmd::Video5, false}, {"video-6", 6, Cmd::Video6, false},
    {"cd", 7, Cmd::Cd, false},          {"aux", 8, Cmd::Aux, false},
    {"tuner", 9, Cmd::Tuner, false},    {"ext-5.1", kSourceExt51, Cmd::Ext51, false},
};
constexpr SetChoice kZoneSources[] = {
    {"video-1", 1, Cmd::ZoneSourceNext, false}, {"video-2", 2, Cmd::ZoneSourceNext, false},
    {"video-3", 3, Cmd::ZoneSourceNext, false}, {"video-4", 4, Cmd::ZoneSourceNext, false},
    {"video-5", 5, Cmd::ZoneSourceNext, false}, {"video-6", 6, Cmd::ZoneSourceNext, false},
    {"cd", 7, Cmd::ZoneSourceNext, false},      {"aux", 8, Cmd::ZoneSourceNext, false},
    {"tuner", 9, Cmd::ZoneSourceNext, false},
};
constexpr SetChoice kModes[] = {
    {"stereo", 0, Cmd::StereoDownmix, false},  {"prologic", 1, Cmd::DolbyPrologic, false},
    {"mono", 7, Cmd::MonoDownmix, false},      {"surround-6.1", 9, Cmd::Surround61, false},
    {"ears", 10, Cmd::Ears, false},            {"bypass", 15, Cmd::Bypass, false},
};
// THX off leaves THX with the Mode key; the THX key steps off -> THX -> THX Surround EX.
constexpr SetChoice kThx[] = {
    {"off", 0, Cmd::ModeKey, false}, {"on", 1, Cmd::ThxKey, false},
    {"surround-ex", 2, Cmd::ThxKey, false},
};
constexpr SetChoice kPower[] = {{"on", 1, Cmd::WakeUp, true}, {"off", 0, Cmd::Standby, false}};
constexpr SetChoice kMute[] = {{"on", 1, Cmd::MuteToggle, true}, {"off", 0, Cmd::MuteToggle, false}};
constexpr SetChoice kTape[] = {{"on", 1, Cmd::TapeMonitorOn, true},
                               {"off", 0, Cmd::TapeMonitorOff, false}};
constexpr SetChoice kLateNight[] = {{"on", 1, Cmd::LateNightToggle, true},
                                    {"off", 0, Cmd::LateNightToggle, false}};
constexpr SetChoice kDimmer[] = {{"on", 1, Cmd::Brightness, true},
                                 {"off", 0, Cmd::Brightness, false}};

using K = SetTarget::Kind;
const SetTarget kTargets[] = {
    {"volume", RS_VOLUME, K::Step, Cmd::VolumeUp, Cmd::VolumeDown, 100, -90, 15},
    {"zone-volume", RS_ZONE_VOLUME, K::Step, Cmd::ZoneVolumeUp, Cmd::ZoneVolumeDown, 100, -90, 15},
    {"bass", RS_BASS, K::Step, Cmd::BassUp, Cmd::BassDown, 12, -12, 12},
    {"treble", RS_TREBLE, K::Step, Cmd::TrebleUp, Cmd::TrebleDown, 12, -12, 12},
    {"center", RS_CENTER, K::Step, Cmd::CenterUp, Cmd::CenterDown, 12, -12, 12},
    {"surround", RS_SURROUND, K::Step, Cmd::SurroundUp, Cmd::SurroundDown, 12, -12, 12},
    {"subwoofer", RS_SUBWOOFER, K::Step, Cmd::SubwooferUp, Cmd::SubwooferDown, 12, -12, 12},
    {"source", RS_AUDIO_SOURCE, K::Choice, 0, 0, 0, 0, 0, kSources},
    {"zone-source", RS_ZONE_AUDIO_SOURCE, K::Cycle, 0, 0, 0, 0, 0, kZoneSources},
    {"mode", RS_STEREO_MODE, K::Choice, 0, 0, 0, 0, 0, kModes},
    {"thx", RS_THX, K::Choice, 0, 0, 0, 0, 0, kThx},
    {"power", RS_OPER_MODE, K::Choice, 0, 0, 0, 0, 0, kPower},
    {"mute", RS_MUTE, K::Choice, 0, 0, 0, 0, 0, kMute},
    {"tape-monitor", RS_TAPEMONITOR, K::Choice, 0, 0, 0, 0, 0, kTape},
    {"late-night", RS_COMPRESSION, K::Choice, 0, 0, 0, 0, 0, kLateNight},
    {"dimmer", RS_DIMMER, K::Choice, 0, 0, 0, 0, 0, kDimmer},
};
// clang-format on

// "Video 1", "video-1" and "VIDEO_1" are one name.
std::string Folded(const std::string& text) {
    std::string folded;
    for (const char c : text) {
        if (c == '-' || c == '_' || c == ' ') continue;
        folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return folded;
}

std::string ChoiceList(const SetTarget& target) {
    std::string list;
    for (const SetChoice& choice : target.choices) {
        if (!list.empty()) list += '|';
        list += choice.name;
    }
    return list;
}

}  // namespace

std::span<const SetTarget> SetTargets() { return kTargets; }

bool ParseSetGoal(const std::string& what, const std::string& value, SetGoal& goal,
                  std::string* error) {
    const SetTarget* target = nullptr;
    for (const SetTarget& candidate : kTargets) {
        if (Folded(candidate.name) == Folded(what)) target = &candidate;
    }
    if (target == nullptr) {
        if (error) *error = "set: no target '" + what + "' (see r512ctl --help)";
        return false;
    }
    goal = SetGoal{target};
    if (target->kind == SetTarget::Kind::Step) {
        char* end = nullptr;
        const long number = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || number < target->low || number > target->high) {
            if (error) {
                *error = std::string("set ") + target->name + ": '" + value +
                         "' is not a number from " + std::to_string(target->low) + " to " +
                         std::to_string(target->high);
            }
            return false;
        }
        goal.value = static_cast<std::uint8_t>(number + target->offset);
        return true;
    }
    for (const SetChoice& choice : target->choices) {
        if (Folded(choice.name) != Folded(value)) continue;
        goal.value = choice.value;
        goal.anyNonzero = choice.anyNonzero;
        goal.key = choice.key;
        return true;
    }
    if (error) {
        *error = std::string("set ") + target->name + ": '" + value + "' is not one of " +
                 ChoiceList(*target);
    }
    return false;
}

bool GoalReached(const SetGoal& goal, std::uint8_t registerValue) {
    return goal.anyNonzero ? registerValue != 0 : registerValue == goal.value;
}

int NextKey(const SetGoal& goal, std::uint8_t registerValue) {
    if (GoalReached(goal, registerValue)) return -1;
    switch (goal.target->kind) {
        case SetTarget::Kind::Step:
            return registerValue < goal.value ? goal.target->up : goal.target->down;
        case SetTarget::Kind::Cycle:
            // Only from a known place in the ring can the steps be counted.
            return StepMultiSourceCount(registerValue, goal.value - 1) > 0 ? goal.key : -1;
        case SetTarget::Kind::Choice:
            return goal.key;
    }
    return -1;
}

int KeyBudget(const SetGoal& goal, std::uint8_t registerValue) {
    switch (goal.target->kind) {
        case SetTarget::Kind::Step:
            return std::abs(int{registerValue} - int{goal.value}) + 2;
        case SetTarget::Kind::Cycle:
            return StepMultiSourceCount(registerValue, goal.value - 1) + 1;
        case SetTarget::Kind::Choice:
            return 3;  // the THX key may take two presses
    }
    return 0;
}

std::string SetTargetsHelp() {
    std::string help;
    for (const SetTarget& target : kTargets) {
        const std::string name = target.name;
        help += "  ";
        help += name;
        help.append(name.size() < 14 ? 14 - name.size() : 1, ' ');
        if (target.kind == SetTarget::Kind::Step) {
            help += std::to_string(target.low);
            help += "..";
            help += std::to_string(target.high);
        } else {
            help += ChoiceList(target);
        }
        help += '\n';
    }
    return help;
}

}  // namespace r512::ctl
