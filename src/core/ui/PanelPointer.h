#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ui/HotSpotTable.h"
#include "ui/KnobRepeat.h"

namespace r512 {

enum class PointerEvent { Press, DoubleClick, Move, Release };
enum class PointerButton { None, Left, Right };  // None: a move, or a button the panel ignores

// One thing a front end does for the pointer; the fields besides `kind` serve the kinds that
// name them. Points are in window coordinates.
struct PointerEffect {
    enum class Kind {
        Send,            // `code` to the device
        RedrawCaption,   // caption button `caption`, as CaptionDown says
        Minimise,        // the window
        Close,           // stores the positions and closes; nothing follows it
        OpenMenu,        // what a right click on `menu` opens (a menu or a popup) at x, y
        StartDrag,       // the body pressed at x, y: the window follows the pointer
        Cursor,          // shows `cursor`
        Capture,         // the pointer's moves and release come here wherever it is
        ReleaseCapture,  // lets it go
    };
    Kind kind;
    std::uint8_t code = 0;
    int caption = -1;
    RightClick menu = RightClick::None;
    PanelCursor cursor = PanelCursor::Arrow;
    int x = 0, y = 0;
};
using PointerEffects = std::vector<PointerEffect>;

struct PanelTip {
    const char* name;
    Rect area;
};

// The remote window's pointer, decided once for both front ends, which hand it their mouse
// events and apply the effects in order. The drawn Minimize and Close buttons act only when the
// button comes up over the one it went down on; a hot spot sends its code on the press, and a
// knob half repeats it (KnobRepeat) until the button comes up, the pointer leaves the half or
// the window loses the pointer; a right click opens the menu or popup of what it lands on (the
// File menu on the body); the body drags the window.
class PanelPointer {
public:
    explicit PanelPointer(KnobRepeat& repeat) : repeat_(repeat) {}

    PointerEffects Handle(PointerEvent event, PointerButton button, int x, int y);

    // The window lost the pointer for `reason`: a held knob stops; a lost capture also lets an
    // armed caption button go without acting.
    PointerEffects Cancel(RepeatStop reason);

    // After something else may have ended the repeat (a tick that found the button up, a failed
    // port): lets the pointer go once nothing holds it.
    PointerEffects Settle();

    static PanelCursor CursorAt(int x, int y);
    // The tips of the caption buttons and hot spots, in hit-test order, each with the box around
    // its area that it stays up in; and the one at a point (none over the body).
    static std::vector<PanelTip> Tips();
    static std::optional<PanelTip> TipAt(int x, int y);
    // Neither a caption button nor a hot spot.
    static bool OverBody(int x, int y);

    bool CaptionDown(int index) const { return armed_ == index && down_; }

private:
    PointerEffects Press(PointerButton button, int x, int y);
    PointerEffects Move(int x, int y);
    PointerEffects Release(int x, int y);

    KnobRepeat& repeat_;
    int armed_ = -1;     // the caption button pressed: it acts if released over it
    bool down_ = false;  // it is drawn pressed: the pointer is over it
    bool captured_ = false;
};

}  // namespace r512
