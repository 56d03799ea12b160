#pragma once

#include <cstdint>
#include <span>

namespace r512 {

// What a dialog's control is, in the words of a dialog template.
enum class ControlKind : std::uint8_t {
    Label,          // left-aligned static text
    CentredLabel,   // centred static text
    Icon,           // the program's icon
    GroupBox,       // a titled frame around other controls
    Edit,           // a one-line text field
    ComboBox,       // a field with a drop-down list that still takes typed text
    CheckBox,       // a check box
    RadioButton,    // a radio button
    PushButton,     // a push button
    DefaultButton,  // the push button that Enter presses
    UpDown,         // up and down arrows beside the field before it
};

// How a control behaves beyond its kind; several may be combined.
enum ControlFlag : std::uint16_t {
    kNoFlags = 0,
    kGroupStart = 1 << 0,  // starts a group: Tab stops at it, the arrows stay inside the group
    kTabStop = 1 << 1,     // Tab stops here
    kReadOnly = 1 << 2,    // an edit field the user can't type into
    kDisabled = 1 << 3,    // made disabled
    kAutoMark = 1 << 4,    // a check box or radio button whose mark follows a click; without
                           // it the mark changes only when the program sets it
    kUppercase = 1 << 5,   // a field that turns what is typed into capitals
};

// One control of a dialog template: its identifier (-1 for a static one), kind, text and
// rectangle in dialog units (see DialogUnits), in the order Tab visits them.
struct DialogItem {
    int id;
    ControlKind kind;
    const char* text;
    int x, y, width, height;
    std::uint16_t flags = kNoFlags;
};

// A dialog's template: the one description both front ends' dialogs are made from (Win32 from
// the resource script, which a test holds to this; Qt by building its widgets from it).
struct DialogTemplate {
    const char* caption;  // empty for a popup without a title bar
    int width, height;    // dialog units
    std::span<const DialogItem> items;
};

inline constexpr int kStaticId = -1;

}  // namespace r512
