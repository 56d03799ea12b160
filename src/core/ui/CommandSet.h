#pragma once

#include <cstdint>
#include <vector>

#include "device/RegisterMirror.h"
#include "ui/ResourceIds.h"

namespace r512 {

// What a command identifier does: send device codes (in order; possibly none), or one of the
// program's own commands.
struct CommandAction {
    enum class Kind { Device, Configure, ControlPanel, Names, Refresh, About, Exit, Unknown };
    Kind kind = Kind::Unknown;
    std::vector<std::uint8_t> codes;
};

// Decides a command from its identifier and, for the few that depend on the device's state,
// the register mirror as it stands (whatever the registers' states).
CommandAction DecideCommand(int id, const RegisterMirror& mirror);

// How many "second-zone source: next" steps lead from the zone's current source (the
// RS_ZONE_AUDIO_SOURCE value, 1 to 9) to target 0 to 8 (Video 1 to 6, CD, Aux, Tuner) around
// their cycle; 0 when the target already plays or the current source is unknown (0 or above 9).
int StepMultiSourceCount(std::uint8_t zoneSource, int target);

}  // namespace r512
