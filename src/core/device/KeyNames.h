#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace r512 {

// The keys of the command set by readable names ("volume-up", "source-cd"), for scripts and for
// the protocol trace: one entry per command code a user may send, in code order.
struct KeyName {
    const char* name;
    std::uint8_t code;
};

std::span<const KeyName> KeyNames();

// The code of a key name, in any letter case; -1 for a name that is no key.
int KeyCode(std::string_view name);

// The name of a command code; nullptr for a code that is no key (the names transfer's end
// command, say).
const char* KeyNameOf(std::uint8_t code);

}  // namespace r512
