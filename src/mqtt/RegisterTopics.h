#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ui/SetTargets.h"

namespace r512::mqtt {

// How a register reads on the broker and in Home Assistant.
enum class TopicKind {
    Switch,  // "ON"/"OFF"
    Level,   // the number the display shows, in dB
    Source,  // a source by its name (the device's own names where it has them)
    Choice,  // a named value (listening mode, THX, formats)
    Number,  // a plain number (registers the program only mirrors)
};

// One register's topic: its state is published, retained, at <prefix>/<leaf>; when `target`
// names a target of set, commands are taken at <prefix>/<leaf>/set.
struct RegisterTopic {
    std::uint8_t code;
    const char* leaf;
    const char* title;  // the entity's name in Home Assistant
    TopicKind kind;
    const char* target;  // the set target, or nullptr: state only
};

std::span<const RegisterTopic> RegisterTopics();
const RegisterTopic* TopicOfLeaf(const std::string& leaf);
const RegisterTopic* TopicOfCode(std::uint8_t code);

// The names of the nine sources (Video 1 to 6, CD, Aux, Tuner), index 0 for source 1: the
// device's own from its names memory, or the fixed ones.
using SourceNames = std::array<std::string, 9>;
SourceNames FixedSourceNames();
// The names memory's nine names, trailing blanks cut. A name that is empty or the same as an
// earlier one would make a choice ambiguous: it keeps its fixed name.
SourceNames SourceNamesFromImage(std::span<const std::uint8_t> image);

// The main source's choices: the nine names and "Ext 5.1".
std::vector<std::string> SourceOptions(const SourceNames& names);
// The second zone's: the nine names.
std::vector<std::string> ZoneSourceOptions(const SourceNames& names);
// A choice register's choices as they are published (listening modes, THX).
std::vector<std::string> ChoiceOptions(const RegisterTopic& topic);

// The state payload of a register's byte.
std::string StatePayload(const RegisterTopic& topic, std::uint8_t value, const SourceNames& names);

// What a command payload asks: a goal of set, checked against the volume cap (the main and
// second-zone volume go no higher than `maxVolume` dB). False with `error` set when the
// payload is no value of the target.
bool CommandGoal(const RegisterTopic& topic, const std::string& payload, const SourceNames& names,
                 int maxVolume, SetGoal& goal, std::string* error);

// A key from the key topic: its code, or nothing with `error` set for a name that is no key or
// a key that would raise a volume already at the cap (the volume keys, and the knob, which
// turns the main volume).
std::optional<std::uint8_t> KeyCommand(const std::string& payload, std::uint8_t volume,
                                       std::uint8_t zoneVolume, int maxVolume, std::string* error);

// A display line as published: the panel font's glyphs in plain text, blanks for zero bytes,
// trailing blanks cut.
std::string DisplayPayload(const char* line);

}  // namespace r512::mqtt
