#pragma once

#include <array>
#include <cstdint>

#include "device/Protocol.h"

namespace r512::names_layout {

// A section of the names memory as an upload carries it: the byte that announces it, where it
// lies in the memory, and what it is in words. An upload sends them in this order.
struct Section {
    std::uint8_t announce;
    int offset;
    int length;
    const char* label;
};

// In static storage: a write queue may keep a pointer to an announcing byte.
inline constexpr std::array<Section, 3> kSections = {{
    {names_bytes::kSourceNames, kSourceTableOffset, kSourceTableLength, "source names"},
    {names_bytes::kWelcomeMessage, kWelcomeOffset, kMessageLength, "welcome message"},
    {names_bytes::kStandbyMessage, kStandbyOffset, kMessageLength, "standby message"},
}};

// The section a byte announces; nullptr for a byte that announces none.
constexpr const Section* FindSection(std::uint8_t announce) {
    for (const Section& section : kSections)
        if (section.announce == announce) return &section;
    return nullptr;
}

}  // namespace r512::names_layout
