#include "ui/FrontPanelText.h"

#include <cstring>

namespace r512 {

bool FrontPanelText::SetLine(const char* text, int line) {
    if (line != 0 && line != 1) return false;
    char* cells = text_ + line * kColumns;
    if (text != nullptr) {
        // Bounded copy: a shorter text leaves zero bytes (blank cells) behind its end.
        std::strncpy(cells, text, kColumns);
    } else {
        std::memset(cells, ' ', kColumns);
        // The zero byte behind the blanks is the text's terminator after line 1. Behind line 0
        // the next byte is line 1's first cell, which a clear of line 0 must leave alone.
        if (line == kLines - 1) cells[kColumns] = '\0';
    }
    return true;
}

int FrontPanelText::FontCellX(char c) {
    const int code = static_cast<signed char>(c);
    return code < 32 ? 0 : kCellWidth * (code - 32);
}

}  // namespace r512
