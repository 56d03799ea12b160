#include "ui/DialogTemplates.h"

#include "ui/ResourceIds.h"

namespace r512 {

namespace {

using enum ControlKind;

// The styles the dialog manager gives each kind of template statement on its own: a static
// text starts a group, a field and a push button are Tab stops.
constexpr std::uint16_t kText = kGroupStart;
constexpr std::uint16_t kField = kTabStop;
constexpr std::uint16_t kButton = kTabStop;
constexpr std::uint16_t kFirstRadio = kGroupStart | kTabStop | kAutoMark;
constexpr std::uint16_t kNextRadio = kAutoMark;

// Names, in a fixed-pitch face: the labels of each column come before its fields.
constexpr DialogItem kNamesItems[] = {
    {kStaticId, Label, "Source Names:", 5, 5, 53, 8, kText},
    {kStaticId, Label, "1", 5, 20, 8, 8, kText},
    {kStaticId, Label, "2", 5, 35, 8, 8, kText},
    {kStaticId, Label, "3", 5, 50, 8, 8, kText},
    {kStaticId, Label, "4", 5, 65, 8, 8, kText},
    {kStaticId, Label, "5", 5, 80, 8, 8, kText},
    {kStaticId, Label, "6", 5, 95, 8, 8, kText},
    {kStaticId, Label, "7", 5, 110, 8, 8, kText},
    {kStaticId, Label, "8", 5, 125, 8, 8, kText},
    {kStaticId, Label, "9", 5, 140, 8, 8, kText},
    {IDC_SOURCE_NAME_1 + 0, Edit, "", 15, 20, 45, 12, kField},
    {IDC_SOURCE_NAME_1 + 1, Edit, "", 15, 36, 45, 12, kField},
    {IDC_SOURCE_NAME_1 + 2, Edit, "", 15, 50, 45, 12, kField},
    {IDC_SOURCE_NAME_1 + 3, Edit, "", 15, 65, 45, 12, kField},
    {IDC_SOURCE_NAME_1 + 4, Edit, "", 15, 81, 45, 12, kField},
    {IDC_SOURCE_NAME_1 + 5, Edit, "", 15, 95, 45, 12, kField},
    {IDC_SOURCE_NAME_1 + 6, Edit, "", 15, 110, 45, 12, kField},
    {IDC_SOURCE_NAME_1 + 7, Edit, "", 15, 126, 45, 12, kField},
    {IDC_SOURCE_NAME_1 + 8, Edit, "", 15, 140, 45, 12, kField},
    {kStaticId, Label, "Welcome Message:", 75, 5, 65, 8, kText},
    {kStaticId, Label, "1", 75, 20, 8, 8, kText},
    {kStaticId, Label, "2", 75, 35, 8, 8, kText},
    {IDC_WELCOME_1, Edit, "", 85, 20, 85, 12, kField},
    {IDC_WELCOME_2, Edit, "", 85, 36, 85, 12, kField},
    {kStaticId, Label, "Standby Message:", 75, 65, 65, 8, kText},
    {kStaticId, Label, "1", 75, 80, 8, 8, kText},
    {kStaticId, Label, "2", 75, 95, 8, 8, kText},
    {IDC_STANDBY_1, Edit, "", 85, 80, 85, 12, kField},
    {IDC_STANDBY_2, Edit, "", 85, 96, 85, 12, kField},
    {IDC_DEFAULTS, PushButton, "Defaults", 125, 120, 50, 14, kButton},
    {IDC_OK, DefaultButton, "OK", 70, 140, 50, 14, kButton},
    {IDC_CANCEL, PushButton, "Cancel", 125, 140, 50, 14, kButton},
};

// Program Configuration. The Other field's height is that of its opened list.
constexpr DialogItem kConfigItems[] = {
    {kStaticId, GroupBox, "Select COM Port:", 5, 5, 110, 65},
    {IDC_PORT_COM1, RadioButton, "COM&1", 15, 20, 36, 10, kFirstRadio},
    {IDC_PORT_COM2, RadioButton, "COM&2", 70, 20, 36, 10, kNextRadio},
    {IDC_PORT_COM3, RadioButton, "COM&3", 15, 35, 36, 10, kNextRadio},
    {IDC_PORT_COM4, RadioButton, "COM&4", 70, 35, 36, 10, kNextRadio},
    {IDC_PORT_OTHER, RadioButton, "&Other:", 15, 50, 33, 10, kNextRadio},
    {IDC_OTHER_PORT_NAME, ComboBox, "", 50, 50, 60, 80, kTabStop | kDisabled | kUppercase},
    {kStaticId, GroupBox, "Select Port Speed:", 5, 75, 230, 45},
    {IDC_SPEED_12000, RadioButton, "12&000", 15, 90, 36, 10, kFirstRadio},
    {IDC_SPEED_9600, RadioButton, "&9600", 15, 105, 32, 10, kNextRadio},
    {kStaticId, Label,
     "The R512 operates at 12000 bps.  If you have trouble connecting at this speed you may "
     "want to try connecting an external rate converter and use 9600.",
     65, 90, 165, 25, kText},
    {IDC_OK, DefaultButton, "OK", 185, 5, 50, 14, kButton},
    {IDC_CANCEL, PushButton, "Cancel", 185, 20, 50, 14, kButton},
};

constexpr DialogItem kAboutItems[] = {
    {kStaticId, Icon, "", 5, 5, 20, 20},
    {kStaticId, Label, "ZEL R512 Control Software", 48, 5, 89, 8, kText},
    {kStaticId, Label, "v1.00", 71, 15, 19, 8, kText},
    {kStaticId, Label, "www.zel-audio.example", 41, 40, 80, 8, kText},
    {IDC_OK, DefaultButton, "OK", 56, 60, 50, 14, kButton},
};

// The popups: "-" left, the name centred, "+" right; neither has a default button.
constexpr DialogItem kToneItems[] = {
    {kStaticId, CentredLabel, "Treble", 10, 0, 25, 8, kText},
    {kStaticId, CentredLabel, "Bass", 10, 10, 25, 8, kText},
    {IDC_TREBLE_UP, PushButton, "+", 35, 0, 9, 10, kButton},
    {IDC_BASS_UP, PushButton, "+", 35, 10, 9, 10, kButton},
    {IDC_TREBLE_DOWN, PushButton, "-", 0, 0, 9, 10, kButton},
    {IDC_BASS_DOWN, PushButton, "-", 0, 10, 9, 10, kButton},
};

constexpr DialogItem kLevelsItems[] = {
    {IDC_SUBWOOFER_DOWN, PushButton, "-", 0, 0, 9, 10, kButton},
    {IDC_CENTER_DOWN, PushButton, "-", 0, 10, 9, 10, kButton},
    {IDC_SURROUND_DOWN, PushButton, "-", 0, 20, 9, 10, kButton},
    {IDC_SUBWOOFER_UP, PushButton, "+", 40, 0, 9, 10, kButton},
    {IDC_CENTER_UP, PushButton, "+", 40, 10, 9, 10, kButton},
    {IDC_SURROUND_UP, PushButton, "+", 40, 20, 9, 10, kButton},
    {kStaticId, CentredLabel, "Sub.W", 10, 0, 25, 8, kText},
    {kStaticId, CentredLabel, "Center", 10, 10, 25, 8, kText},
    {kStaticId, CentredLabel, "Surr.", 10, 20, 25, 8, kText},
};

}  // namespace

const DialogTemplate kNamesTemplate{"R512", 182, 161, kNamesItems};
const DialogTemplate kConfigTemplate{"Program Configuration", 242, 127, kConfigItems};
const DialogTemplate kAboutTemplate{"About", 162, 81, kAboutItems};
const DialogTemplate kToneTemplate{"", 45, 19, kToneItems};
const DialogTemplate kLevelsTemplate{"", 49, 30, kLevelsItems};

}  // namespace r512
