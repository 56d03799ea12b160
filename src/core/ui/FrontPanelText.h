#pragma once

namespace r512 {

// The text of the front-panel display: two lines of 20 single-byte characters, stored line after
// line with one terminating byte, all zero at first (a zero draws as a blank cell).
class FrontPanelText {
public:
    static constexpr int kLines = 2;
    static constexpr int kColumns = 20;
    static constexpr int kCellWidth = 7;  // pixels of one character cell in the font strip
    static constexpr int kCellHeight = 9;

    // As DisplayLines::SetLine, without the redraw: false (and no change) for a line index
    // other than 0 or 1.
    bool SetLine(const char* text, int line);

    char At(int line, int column) const { return text_[line * kColumns + column]; }

    // The left edge, in the font strip, of the cell that draws `c`: character codes 32 to 127
    // have a cell each; a code below 32, and so also 128-255 (the character taken as signed),
    // draws the blank cell of the space.
    static int FontCellX(char c);

private:
    char text_[kLines * kColumns + 1] = {};
};

}  // namespace r512
