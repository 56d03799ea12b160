#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace r512 {

// What `set` (r512ctl's, and r512-mqtt's command topics) can bring the device to, and the keys
// that lead there. The device has no command that sets a value: the program sends keys and
// follows the reports.
//   Step    a level raised and lowered one step per key (volume, tone and speaker levels)
//   Choice  values that each have a key of their own (source, mode, power, the switches; a
//           toggle key serves both values of a switch)
//   Cycle   values gone through in a ring by one key (the second zone's source)
struct SetChoice {
    const char* name;    // as typed, in any letter case; "-", "_" and blanks are ignored
    std::uint8_t value;  // the register's byte
    std::uint8_t key;    // the key that leads to it
    bool anyNonzero;     // the register counts as there for any nonzero byte ("on")
};

struct SetTarget {
    enum class Kind { Step, Choice, Cycle };
    const char* name;
    std::uint8_t reg;
    Kind kind;
    // Step: the keys that raise and lower the byte; the byte is the shown number + offset,
    // which lies in low..high.
    std::uint8_t up = 0;
    std::uint8_t down = 0;
    int offset = 0;
    int low = 0;
    int high = 0;
    std::span<const SetChoice> choices = {};
};

std::span<const SetTarget> SetTargets();

// A target with the byte to reach.
struct SetGoal {
    const SetTarget* target = nullptr;
    std::uint8_t value = 0;
    bool anyNonzero = false;
    std::uint8_t key = 0;  // Choice and Cycle: the key to send
};

// Why a target and a value name no goal: a target there is none of, or a value the target
// can't take; None when they name one.
enum class SetProblem { None, UnknownTarget, BadValue };

// Reads "volume" "-30", "source" "CD" and the like into `goal`.
[[nodiscard]] SetProblem ParseSetGoal(const std::string& what, const std::string& value,
                                      SetGoal& goal);

// The words for a problem that ParseSetGoal found with the same target and value, e.g.
// "set volume: '16' is not a number from -90 to 15".
std::string SetProblemText(SetProblem problem, const std::string& what, const std::string& value);

// Whether the register's byte shows the goal.
bool GoalReached(const SetGoal& goal, std::uint8_t registerValue);

// The key to send next from the register's byte, or -1 when no key leads there from it.
int NextKey(const SetGoal& goal, std::uint8_t registerValue);

// The longest list of keys the goal may take from the register's byte before `set` gives up.
int KeyBudget(const SetGoal& goal, std::uint8_t registerValue);

// For --help: one line per target with the values it takes.
std::string SetTargetsHelp();

}  // namespace r512
