#pragma once

namespace r512 {

// Where the composed display lines go: the front-panel display window.
class DisplayLines {
public:
    virtual ~DisplayLines() = default;
    // Line 0 or 1 (any other index: nothing happens). A text is copied with a bounded copy of
    // 20 characters (a shorter text leaves zero bytes, drawn blank, behind its end); no text
    // (nullptr) fills the line with 20 blanks. With `redraw` the display repaints at once.
    virtual void SetLine(const char* text, int line, bool redraw) = 0;
};

}  // namespace r512
