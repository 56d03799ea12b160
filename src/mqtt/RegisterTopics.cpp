#include "mqtt/RegisterTopics.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "device/KeyNames.h"
#include "device/Protocol.h"
#include "device/RegisterText.h"
#include "device/ValuePresentation.h"

namespace r512::mqtt {

namespace {

using K = TopicKind;
// clang-format off
constexpr RegisterTopic kTopics[] = {
    {RS_VOLUME,            "volume",            "Volume",             K::Level,  "volume"},
    {RS_MUTE,              "mute",              "Mute",               K::Switch, "mute"},
    {RS_AUDIO_SOURCE,      "source",            "Source",             K::Source, "source"},
    {RS_VIDEO_SOURCE,      "video_source",      "Video source",       K::Number, nullptr},
    {RS_OPER_MODE,         "power",             "Power",              K::Switch, "power"},
    {RS_ZONE_AUDIO_SOURCE, "zone_source",       "Zone 2 source",      K::Source, "zone-source"},
    {RS_ZONE_VIDEO_SOURCE, "zone_video_source", "Zone 2 video source", K::Number, nullptr},
    {RS_ZONE_VOLUME,       "zone_volume",       "Zone 2 volume",      K::Level,  "zone-volume"},
    {RS_ZONE_MUTE,         "zone_mute",         "Zone 2 mute",        K::Switch, nullptr},
    {RS_DIMMER,            "dimmer",            "Dimmer",             K::Switch, "dimmer"},
    {RS_TAPEMONITOR,       "tape_monitor",      "Tape monitor",       K::Switch, "tape-monitor"},
    {RS_STEREO_MODE,       "mode",              "Listening mode",     K::Choice, "mode"},
    {RS_SIGNAL_TYPE,       "audio_format",      "Audio format",       K::Choice, nullptr},
    {RS_AUDIO_INPUT_TYPE,  "audio_input",       "Audio input",        K::Choice, nullptr},
    {RS_COMPRESSION,       "late_night",        "Late night",         K::Switch, "late-night"},
    {RS_CINEEQ,            "cineeq",            "CineEQ",             K::Number, nullptr},
    {RS_VIDEO_INPUT_TYPE,  "video_input",       "Video input",        K::Choice, nullptr},
    {RS_TREBLE,            "treble",            "Treble",             K::Level,  "treble"},
    {RS_BASS,              "bass",              "Bass",               K::Level,  "bass"},
    {RS_CENTER,            "center",            "Center level",       K::Level,  "center"},
    {RS_SURROUND,          "surround",          "Surround level",     K::Level,  "surround"},
    {RS_SUBWOOFER,         "subwoofer",         "Subwoofer level",    K::Level,  "subwoofer"},
    {RS_TRIGGER1,          "trigger_1",         "Trigger 1",          K::Switch, nullptr},
    {RS_TRIGGER2,          "trigger_2",         "Trigger 2",          K::Switch, nullptr},
    {RS_TV_SYSTEM,         "video_format",      "Video format",       K::Choice, nullptr},
    {RS_THX,               "thx",               "THX",                K::Choice, "thx"},
};
// clang-format on

bool SameText(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

const SetTarget* TargetNamed(const char* name) {
    for (const SetTarget& target : SetTargets()) {
        if (std::string(target.name) == name) return &target;
    }
    return nullptr;
}

// The goal of reaching `value` through the target's own choice of it.
bool ChoiceGoal(const SetTarget& target, std::uint8_t value, SetGoal& goal) {
    for (const SetChoice& choice : target.choices) {
        if (choice.value != value) continue;
        goal = SetGoal{&target, choice.value, choice.anyNonzero, choice.key};
        return true;
    }
    return false;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    std::size_t first = 0;
    while (first < text.size() && text[first] == ' ') ++first;
    return text.substr(first);
}

}  // namespace

std::span<const RegisterTopic> RegisterTopics() { return kTopics; }

const RegisterTopic* TopicOfLeaf(const std::string& leaf) {
    for (const RegisterTopic& topic : kTopics) {
        if (leaf == topic.leaf) return &topic;
    }
    return nullptr;
}

const RegisterTopic* TopicOfCode(std::uint8_t code) {
    for (const RegisterTopic& topic : kTopics) {
        if (code == topic.code) return &topic;
    }
    return nullptr;
}

SourceNames FixedSourceNames() {
    SourceNames names;
    for (unsigned n = 1; n <= names.size(); ++n) names[n - 1] = SourceName(n);
    return names;
}

SourceNames SourceNamesFromImage(std::span<const std::uint8_t> image) {
    SourceNames names = FixedSourceNames();
    if (image.size() < static_cast<std::size_t>(names_layout::kImageSize)) return names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto* field = image.data() + names_layout::kSourceTableOffset +
                            static_cast<std::ptrdiff_t>(i) * names_layout::kNameLength;
        const std::string name = Trimmed(std::string(field, field + names_layout::kNameLength));
        const bool taken =
            std::any_of(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(i),
                        [&](const std::string& earlier) { return SameText(earlier, name); });
        if (!name.empty() && !taken && name != SourceName(kSourceExt51)) names[i] = name;
    }
    return names;
}

std::vector<std::string> ZoneSourceOptions(const SourceNames& names) {
    return {names.begin(), names.end()};
}

std::vector<std::string> SourceOptions(const SourceNames& names) {
    std::vector<std::string> options = ZoneSourceOptions(names);
    options.push_back(SourceName(kSourceExt51));
    return options;
}

std::vector<std::string> ChoiceOptions(const RegisterTopic& topic) {
    std::vector<std::string> options;
    const SetTarget* target = topic.target != nullptr ? TargetNamed(topic.target) : nullptr;
    if (target == nullptr) return options;
    for (const SetChoice& choice : target->choices)
        options.push_back(RegisterText(topic.code, choice.value));
    return options;
}

std::string StatePayload(const RegisterTopic& topic, std::uint8_t value, const SourceNames& names) {
    switch (topic.kind) {
        case TopicKind::Switch:
            return value != 0 ? "ON" : "OFF";
        case TopicKind::Level:
            return std::to_string(DisplayValue(value, topic.code));
        case TopicKind::Source:
            if (value >= 1 && value <= names.size()) return names[value - 1];
            return value == kSourceExt51 ? SourceName(value) : std::to_string(value);
        case TopicKind::Choice:
            return RegisterText(topic.code, value);
        case TopicKind::Number:
            break;
    }
    return std::to_string(value);
}

bool CommandGoal(const RegisterTopic& topic, const std::string& payload, const SourceNames& names,
                 int maxVolume, SetGoal& goal, std::string* error) {
    const SetTarget* target = topic.target != nullptr ? TargetNamed(topic.target) : nullptr;
    if (target == nullptr) {
        if (error) *error = std::string(topic.leaf) + " takes no commands";
        return false;
    }
    const std::string value = Trimmed(payload);
    switch (topic.kind) {
        case TopicKind::Level: {
            // Home Assistant sends a number entity's value as a decimal ("-35.0").
            char* end = nullptr;
            const double number = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !std::isfinite(number)) break;
            long whole = std::lround(number);
            if (topic.code == RS_VOLUME || topic.code == RS_ZONE_VOLUME)
                whole = std::min<long>(whole, maxVolume);
            const std::string level = std::to_string(whole);
            const SetProblem problem = ParseSetGoal(target->name, level, goal);
            if (problem != SetProblem::None && error)
                *error = SetProblemText(problem, target->name, level);
            return problem == SetProblem::None;
        }
        case TopicKind::Source:
            for (std::size_t i = 0; i < names.size(); ++i) {
                if (SameText(names[i], value))
                    return ChoiceGoal(*target, static_cast<std::uint8_t>(i + 1), goal);
            }
            if (SameText(SourceName(kSourceExt51), value) &&
                ChoiceGoal(*target, kSourceExt51, goal))
                return true;
            break;
        case TopicKind::Choice:
            for (const SetChoice& choice : target->choices) {
                if (SameText(RegisterText(topic.code, choice.value), value))
                    return ChoiceGoal(*target, choice.value, goal);
            }
            break;
        case TopicKind::Switch:
        case TopicKind::Number:
            break;
    }
    // r512ctl's words for the same values ("on", "-30", "video-1", "surround-ex") serve too.
    if (ParseSetGoal(target->name, value, goal) == SetProblem::None) return true;
    if (error) *error = std::string(topic.leaf) + ": '" + value + "' is no value of it";
    return false;
}

std::optional<std::uint8_t> KeyCommand(const std::string& payload, std::uint8_t volume,
                                       std::uint8_t zoneVolume, int maxVolume, std::string* error) {
    const std::string name = Trimmed(payload);
    const int code = KeyCode(name);
    if (code < 0) {
        if (error) *error = "key: no key '" + name + "'";
        return std::nullopt;
    }
    const bool raisesMain = (code == cmd::kVolumeUp || code == cmd::kKnobUp) &&
                            DisplayValue(volume, RS_VOLUME) >= maxVolume;
    const bool raisesZone =
        code == cmd::kZoneVolumeUp && DisplayValue(zoneVolume, RS_ZONE_VOLUME) >= maxVolume;
    if (raisesMain || raisesZone) {
        if (error) *error = "key " + name + ": the volume is at the cap";
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(code);
}

std::string DisplayPayload(const char* line) {
    std::string text;
    for (int i = 0; i < 20 && line != nullptr; ++i) text += line[i] == '\0' ? ' ' : line[i];
    text = PlainPanelText(text);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace r512::mqtt
