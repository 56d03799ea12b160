#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "device/Protocol.h"

namespace r512 {

// The thirteen texts of the names memory, in the order the Names dialog shows them: source
// names 1 to 9 (7 bytes each), then welcome line 1 and 2 and standby line 1 and 2 (20 each).
namespace NamesFields {

constexpr int Count = 13;

struct Field {
    int offset;
    int width;
};

// Where each text lies in the image.
constexpr std::array<Field, Count> Fields = {{
    {NamesLayout::SourceTableOffset + 0 * NamesLayout::NameLength, NamesLayout::NameLength},
    {NamesLayout::SourceTableOffset + 1 * NamesLayout::NameLength, NamesLayout::NameLength},
    {NamesLayout::SourceTableOffset + 2 * NamesLayout::NameLength, NamesLayout::NameLength},
    {NamesLayout::SourceTableOffset + 3 * NamesLayout::NameLength, NamesLayout::NameLength},
    {NamesLayout::SourceTableOffset + 4 * NamesLayout::NameLength, NamesLayout::NameLength},
    {NamesLayout::SourceTableOffset + 5 * NamesLayout::NameLength, NamesLayout::NameLength},
    {NamesLayout::SourceTableOffset + 6 * NamesLayout::NameLength, NamesLayout::NameLength},
    {NamesLayout::SourceTableOffset + 7 * NamesLayout::NameLength, NamesLayout::NameLength},
    {NamesLayout::SourceTableOffset + 8 * NamesLayout::NameLength, NamesLayout::NameLength},
    {NamesLayout::WelcomeOffset, NamesLayout::LineLength},
    {NamesLayout::WelcomeOffset + NamesLayout::LineLength, NamesLayout::LineLength},
    {NamesLayout::StandbyOffset, NamesLayout::LineLength},
    {NamesLayout::StandbyOffset + NamesLayout::LineLength, NamesLayout::LineLength},
}};

using Texts = std::array<std::string, Count>;
using Image = std::array<std::uint8_t, NamesLayout::ImageSize>;

// Each field taken whole, trailing spaces included, one character per byte.
Texts FromImage(const Image& image);

// Puts the texts back: at most a field's width of each text, a shorter one followed by zero
// bytes up to the width; then every zero byte of the source-name table and of the messages
// becomes a space. Nothing outside those two ranges is touched.
void ToImage(const Texts& texts, Image& image);

// A byte the device can store in a name or message: 0x14 to 0x7F.
constexpr bool IsValidByte(std::uint8_t byte) { return byte >= 0x14 && byte <= 0x7F; }

// True when every byte of the source-name table (702 to 813), then of the messages (400 to
// 479), is valid; the first invalid byte ends the check. No other byte is examined.
bool IsValid(const Image& image);

// The factory texts, in the same order.
const Texts& Defaults();

}  // namespace NamesFields

}  // namespace r512
