#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "device/Protocol.h"

namespace r512 {

// The thirteen texts of the names memory, in the order the Names dialog shows them: source
// names 1 to 9 (7 bytes each), then welcome line 1 and 2 and standby line 1 and 2 (20 each).
namespace names_fields {

constexpr int kCount = 13;

struct Field {
    int offset;
    int width;
};

// Where each text lies in the image.
constexpr std::array<Field, kCount> kFields = {{
    {names_layout::kSourceTableOffset + 0 * names_layout::kNameLength, names_layout::kNameLength},
    {names_layout::kSourceTableOffset + 1 * names_layout::kNameLength, names_layout::kNameLength},
    {names_layout::kSourceTableOffset + 2 * names_layout::kNameLength, names_layout::kNameLength},
    {names_layout::kSourceTableOffset + 3 * names_layout::kNameLength, names_layout::kNameLength},
    {names_layout::kSourceTableOffset + 4 * names_layout::kNameLength, names_layout::kNameLength},
    {names_layout::kSourceTableOffset + 5 * names_layout::kNameLength, names_layout::kNameLength},
    {names_layout::kSourceTableOffset + 6 * names_layout::kNameLength, names_layout::kNameLength},
    {names_layout::kSourceTableOffset + 7 * names_layout::kNameLength, names_layout::kNameLength},
    {names_layout::kSourceTableOffset + 8 * names_layout::kNameLength, names_layout::kNameLength},
    {names_layout::kWelcomeOffset, names_layout::kLineLength},
    {names_layout::kWelcomeOffset + names_layout::kLineLength, names_layout::kLineLength},
    {names_layout::kStandbyOffset, names_layout::kLineLength},
    {names_layout::kStandbyOffset + names_layout::kLineLength, names_layout::kLineLength},
}};

using Texts = std::array<std::string, kCount>;
using Image = std::array<std::uint8_t, names_layout::kImageSize>;

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

}  // namespace names_fields

}  // namespace r512
