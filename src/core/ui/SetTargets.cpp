#include "ui/SetTargets.h"

#include <cctype>
#include <cstdlib>

#include "device/Protocol.h"
#include "ui/CommandSet.h"

namespace r512 {

namespace {

// clang-format off
constexpr SetChoice kSources[] = {
    {"video-1", 1, cmd::kVideo1, false}, {"video-2", 2, cmd::kVideo2, false},
    {"video-3", 3, cmd::kVideo3, false}, {"video-4", 4, cmd::kVideo4, false},
    {"video-5", 5, cmd::kVideo5, false}, {"video-6", 6, cmd::kVideo6, false},
    {"cd", 7, cmd::kCd, false},          {"aux", 8, cmd::kAux, false},
    {"tuner", 9, cmd::kTuner, false},    {"ext-5.1", kSourceExt51, cmd::kExt51, false},
};
constexpr SetChoice kZoneSources[] = {
    {"video-1", 1, cmd::kZoneSourceNext, false}, {"video-2", 2, cmd::kZoneSourceNext, false},
    {"video-3", 3, cmd::kZoneSourceNext, false}, {"video-4", 4, cmd::kZoneSourceNext, false},
    {"video-5", 5, cmd::kZoneSourceNext, false}, {"video-6", 6, cmd::kZoneSourceNext, false},
    {"cd", 7, cmd::kZoneSourceNext, false},      {"aux", 8, cmd::kZoneSourceNext, false},
    {"tuner", 9, cmd::kZoneSourceNext, false},
};
constexpr SetChoice kModes[] = {
    {"stereo", 0, cmd::kStereoDownmix, false},  {"prologic", 1, cmd::kDolbyPrologic, false},
    {"mono", 7, cmd::kMonoDownmix, false},      {"surround-6.1", 9, cmd::kSurround61, false},
    {"ears", 10, cmd::kEars, false},            {"bypass", 15, cmd::kBypass, false},
};
// THX off leaves THX with the Mode key; the THX key steps off -> THX -> THX Surround EX.
constexpr SetChoice kThx[] = {
    {"off", 0, cmd::kModeKey, false}, {"on", 1, cmd::kThxKey, false},
    {"surround-ex", 2, cmd::kThxKey, false},
};
constexpr SetChoice kPower[] = {{"on", 1, cmd::kWakeUp, true}, {"off", 0, cmd::kStandby, false}};
constexpr SetChoice kMute[] = {{"on", 1, cmd::kMuteToggle, true}, {"off", 0, cmd::kMuteToggle, false}};
constexpr SetChoice kTape[] = {{"on", 1, cmd::kTapeMonitorOn, true},
                               {"off", 0, cmd::kTapeMonitorOff, false}};
constexpr SetChoice kLateNight[] = {{"on", 1, cmd::kLateNightToggle, true},
                                    {"off", 0, cmd::kLateNightToggle, false}};
constexpr SetChoice kDimmer[] = {{"on", 1, cmd::kBrightness, true},
                                 {"off", 0, cmd::kBrightness, false}};

using K = SetTarget::Kind;
const SetTarget kTargets[] = {
    {"volume", RS_VOLUME, K::Step, cmd::kVolumeUp, cmd::kVolumeDown, 100, -90, 15},
    {"zone-volume", RS_ZONE_VOLUME, K::Step, cmd::kZoneVolumeUp, cmd::kZoneVolumeDown, 100, -90, 15},
    {"bass", RS_BASS, K::Step, cmd::kBassUp, cmd::kBassDown, 12, -12, 12},
    {"treble", RS_TREBLE, K::Step, cmd::kTrebleUp, cmd::kTrebleDown, 12, -12, 12},
    {"center", RS_CENTER, K::Step, cmd::kCenterUp, cmd::kCenterDown, 12, -12, 12},
    {"surround", RS_SURROUND, K::Step, cmd::kSurroundUp, cmd::kSurroundDown, 12, -12, 12},
    {"subwoofer", RS_SUBWOOFER, K::Step, cmd::kSubwooferUp, cmd::kSubwooferDown, 12, -12, 12},
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

// The last target whose name folds to the same; nullptr for none.
const SetTarget* FindTarget(const std::string& what) {
    const SetTarget* target = nullptr;
    for (const SetTarget& candidate : kTargets) {
        if (Folded(candidate.name) == Folded(what)) target = &candidate;
    }
    return target;
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

SetProblem ParseSetGoal(const std::string& what, const std::string& value, SetGoal& goal) {
    const SetTarget* target = FindTarget(what);
    if (target == nullptr) return SetProblem::UnknownTarget;
    goal = SetGoal{target};
    if (target->kind == SetTarget::Kind::Step) {
        char* end = nullptr;
        const long number = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || number < target->low || number > target->high)
            return SetProblem::BadValue;
        goal.value = static_cast<std::uint8_t>(number + target->offset);
        return SetProblem::None;
    }
    for (const SetChoice& choice : target->choices) {
        if (Folded(choice.name) != Folded(value)) continue;
        goal.value = choice.value;
        goal.anyNonzero = choice.anyNonzero;
        goal.key = choice.key;
        return SetProblem::None;
    }
    return SetProblem::BadValue;
}

std::string SetProblemText(SetProblem problem, const std::string& what, const std::string& value) {
    const SetTarget* target = FindTarget(what);
    if (problem == SetProblem::None) return {};
    if (problem == SetProblem::UnknownTarget || target == nullptr)
        return "set: no target '" + what + "' (see r512ctl --help)";
    if (target->kind == SetTarget::Kind::Step) {
        return std::string("set ") + target->name + ": '" + value + "' is not a number from " +
               std::to_string(target->low) + " to " + std::to_string(target->high);
    }
    return std::string("set ") + target->name + ": '" + value + "' is not one of " +
           ChoiceList(*target);
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

}  // namespace r512
