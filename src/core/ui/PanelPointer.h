#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ui/HotSpotTable.h"
#include "ui/KnobRepeat.h"

namespace r512 {

enum class PointerButton { Left, Right };

// The pointer shape the remote window shows at a point.
enum class PanelCursor {
    Arrow,  // over a caption button
    Body,   // over the body: the arrow, or the wait cursor while the names are transferred
    Hand,
    KnobDown,
    KnobUp,
};

// One thing a front end does for a pointer event; the fields other than `kind` are meaningful
// only for the kinds that name them.
struct PointerEffect {
    enum class Kind {
        Send,            // sends `code` to the device
        RedrawCaption,   // draws caption button `caption` as CaptionDown now says
        Minimise,        // minimises the window
        Close,           // stores the positions and closes the window; nothing follows it
        OpenMenu,        // opens what a right click on `menu` opens (a menu or a popup) at x, y
        StartDrag,       // the body is pressed at x, y: the window follows the pointer
        Cursor,          // shows `cursor`
        Capture,         // takes the pointer: its moves and release come here wherever it is
        ReleaseCapture,  // lets the pointer go
    };
    Kind kind;
    std::uint8_t code = 0;
    int caption = -1;
    RightClick menu = RightClick::None;
    PanelCursor cursor = PanelCursor::Arrow;
    int x = 0, y = 0;  // in window coordinates

    bool operator==(const PointerEffect&) const = default;
};
using PointerEffects = std::vector<PointerEffect>;

// The remote window's pointer, decided once for both front ends: the drawn Minimize and Close
// buttons act only when the button goes up over the one it went down on (each is drawn pressed
// while the pointer is over it); a hot spot sends its code on the press, and a knob half repeats
// it (KnobRepeat) until the button comes up or the window loses the pointer; a right click opens
// the menu or popup of what it lands on (the File menu on the body); the body drags the window.
// A front end hands each event here and applies the effects in order, drawing only.
class PanelPointer {
public:
    explicit PanelPointer(KnobRepeat& repeat) : repeat_(repeat) {}

    PointerEffects Press(PointerButton button, int x, int y);
    // The panel knows no double click: the second press of one is a press like any other.
    PointerEffects DoubleClick(PointerButton button, int x, int y) { return Press(button, x, y); }
    PointerEffects Move(int x, int y);
    PointerEffects Release(PointerButton button, int x, int y);

    // The window has lost the pointer for `reason` (deactivated, hidden, a dialog or menu, the
    // capture gone, ...): a held knob stops; a lost capture also lets an armed button go undone.
    PointerEffects Cancel(RepeatStop reason);

    // To be asked after anything outside the pointer may have ended the repeat (a tick that
    // found the button up, a failed port): lets the pointer go once nothing holds it.
    PointerEffects Settle();

    // The cursor for a point while no button is held.
    static PanelCursor CursorAt(int x, int y);
    // The body: neither a caption button nor a hot spot.
    static bool OverBody(int x, int y);

    bool CaptionDown(int index) const { return captions_.at(static_cast<std::size_t>(index)).down; }

private:
    struct CaptionState {
        bool armed = false;  // pressed here; acts if released over it
        bool down = false;   // drawn pressed: armed and the pointer over it
    };

    KnobRepeat& repeat_;
    std::array<CaptionState, 2> captions_{};
    bool captured_ = false;
};

}  // namespace r512
