#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/DisplayLines.h"
#include "ui/FrontPanelText.h"

namespace r512::test {

// Stands in for the display window: keeps every SetLine call and applies it to a display text
// exactly as the window does.
class FakeDisplayLines final : public DisplayLines {
public:
    struct Call {
        std::optional<std::string> text;  // nullopt: no text (a blank line)
        int line = 0;
        bool redraw = false;
    };

    void SetLine(const char* text, int line, bool redraw) override {
        Call call;
        if (text != nullptr) call.text = std::string(text);
        call.line = line;
        call.redraw = redraw;
        calls.push_back(call);
        screen.SetLine(text, line);
    }

    // Line `line` as it looks: every cell that draws blank (a space or a zero byte) as a space.
    std::string Shown(int line) const {
        std::string shown;
        for (int column = 0; column < FrontPanelText::kColumns; ++column) {
            const char c = screen.At(line, column);
            shown += c == '\0' ? ' ' : c;
        }
        return shown;
    }

    std::vector<Call> calls;
    FrontPanelText screen;
};

}  // namespace r512::test
