// The display font: one strip of 96 cells, 7 x 9 pixels each, for the codes 32 to 127, two
// colours only. The display copies a cell per character, so a code without a glyph is a cell of
// plain background.
#pragma once

#include <QImage>

namespace artgen {

inline constexpr int kCellWidth = 7;
inline constexpr int kCellHeight = 9;
inline constexpr int kFirstCode = 32;
inline constexpr int kCellCount = 96;

// Format_Indexed8 with a two-entry table: 0 background, 1 lit dot.
QImage renderFontStrip();

}  // namespace artgen
