// The remote window's pointer: sequences of events and the effects a front end is asked to
// apply for each, with the knob's repeat they leave behind; and the tips of the panel's areas.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>

#include "support/RecordingWindowTimers.h"
#include "ui/PanelPointer.h"

namespace r512::test {
namespace {

struct Point {
    int x, y;
};
const std::map<std::string, Point> kPoints{
    {"min", {728, 10}},    {"min-edge", {721, 4}},   {"close", {762, 11}},   {"body", {600, 140}},
    {"audio", {209, 109}}, {"speakers", {365, 109}}, {"levels", {443, 109}}, {"knob-", {665, 85}},
    {"knob+", {697, 85}},  {"gap", {681, 85}}};

// Runs `script`, events separated by spaces: "L@audio" a left press there, "R@" a right press,
// "M@" another button's press, "D@" a left double click, "U@" a left release, "u@" a right
// release, "move@" a move; "lost-capture" and "deactivated" the window losing the pointer;
// "tick-up" a repeat tick that finds the button up. Returns each event's effects after a "|".
std::string RunScript(const std::string& script, KnobRepeat& repeat, bool& buttonDown) {
    using E = PointerEvent;
    using B = PointerButton;
    static const std::map<std::string, std::pair<E, B>> kEvents{
        {"L", {E::Press, B::Left}},   {"R", {E::Press, B::Right}},
        {"M", {E::Press, B::None}},   {"D", {E::DoubleClick, B::Left}},
        {"U", {E::Release, B::Left}}, {"u", {E::Release, B::Right}},
        {"move", {E::Move, B::None}}};
    static const char* const kMenus[] = {"-",    "File",        "Power", "Audio",  "Video",
                                         "Tape", "MultiSource", "Mode",  "Levels", "Tone"};
    static const char* const kCursors[] = {"hand", "knob-down", "knob-up", "arrow", "body"};
    PanelPointer pointer(repeat);
    std::istringstream words(script);
    std::ostringstream out;
    for (std::string word; words >> word;) {
        PointerEffects effects;
        if (word == "lost-capture" || word == "deactivated") {
            effects = pointer.Cancel(word == "deactivated" ? RepeatStop::Deactivated
                                                           : RepeatStop::CaptureLost);
        } else if (word == "tick-up") {
            buttonDown = false;
            EXPECT_FALSE(repeat.Tick());
            effects = pointer.Settle();
        } else {
            const auto [event, button] = kEvents.at(word.substr(0, word.find('@')));
            const Point at = kPoints.at(word.substr(word.find('@') + 1));
            effects = pointer.Handle(event, button, at.x, at.y);
        }
        out << "|";
        for (const PointerEffect& e : effects) {
            using K = PointerEffect::Kind;
            const char* const kKinds[] = {"send",  "", "minimise", "close",  "",
                                          "drag@", "", "capture",  "release"};
            out << " " << kKinds[static_cast<int>(e.kind)];
            if (e.kind == K::Send) out << std::hex << int{e.code} << std::dec;
            if (e.kind == K::RedrawCaption)
                out << (pointer.CaptionDown(e.caption) ? "down" : "up") << e.caption;
            if (e.kind == K::OpenMenu) out << kMenus[static_cast<int>(e.menu)] << "@";
            if (e.kind == K::OpenMenu || e.kind == K::StartDrag) out << e.x << "," << e.y;
            if (e.kind == K::Cursor) out << kCursors[static_cast<int>(e.cursor)];
        }
    }
    return out.str();
}

TEST(PanelPointer, SequencesGiveTheirEffectsAndLeaveTheRepeatAsTheySay) {
    using RS = RepeatStop;
    const struct {
        const char* script;
        const char* effects;
        int held;  // the knob half still repeating, or -1
        std::optional<RepeatStop> stopped;
    } kRows[] = {
        {"L@audio U@audio", "| send74|", -1, {}},  // on the press only
        {"M@audio", "|", -1, {}},
        {"L@audio U@audio D@audio U@audio", "| send74|| send74|", -1, {}},
        {"L@gap", "| drag@681,85", -1, {}},  // between the knob's halves is body
        {"L@min move@min-edge U@min", "| capture down0|| release up0 minimise", -1, {}},
        {"L@close move@body U@body", "| capture down1| up1| release up1", -1, {}},
        {"L@close move@body move@close U@close",
         "| capture down1| up1| down1| release up1 close",
         -1,
         {}},
        {"L@close lost-capture U@close", "| capture down1| up1|", -1, {}},
        {"L@close deactivated U@close", "| capture down1|| release up1 close", -1, {}},
        {"L@knob- move@knob-", "| send16 capture| knob-down", 11, {}},
        {"L@knob+ U@knob+", "| send15 capture| release", -1, RS::ButtonReleased},
        {"L@knob- move@gap move@knob- U@knob-", "| send16 capture| release body| knob-down|", -1,
         RS::LeftHalf},
        {"L@knob+ lost-capture", "| send15 capture|", -1, RS::CaptureLost},
        {"L@knob+ deactivated", "| send15 capture| release", -1, RS::Deactivated},
        {"L@knob+ tick-up", "| send15 capture| release", -1, RS::ButtonNotDown},
        {"L@knob+ R@body", "| send15 capture| release File@600,140", -1, RS::DialogOrMenu},
        {"R@audio R@levels R@speakers R@min u@min", "| Audio@209,109| Levels@443,109|||", -1, {}},
        {"move@audio move@knob- move@knob+ move@close move@body",
         "| hand| knob-down| knob-up| arrow| body",
         -1,
         {}},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.script);
        RecordingWindowTimers timers;
        KnobRepeat repeat(timers);
        bool buttonDown = true;
        repeat.SetButtonProbe([&] { return buttonDown; });
        EXPECT_EQ(RunScript(row.script, repeat, buttonDown), row.effects);
        EXPECT_EQ(repeat.HotSpot(), row.held);
        EXPECT_EQ(timers.IsTimerRunning(kRepeatTimer), row.held >= 0);
        EXPECT_EQ(repeat.LastStop(), row.stopped);
    }
}

// A tip names the area under the pointer and stays up within the box around it: a knob half's
// is its ellipse's box cut to its side. The body has none.
TEST(PanelPointer, TipsNameTheAreaAndTheBoxItStaysUpIn) {
    const std::optional<PanelTip> half = PanelPointer::TipAt(665, 85);
    ASSERT_TRUE(half);
    EXPECT_STREQ(half->name, "Control -");
    EXPECT_EQ(std::tie(half->area.left, half->area.top, half->area.right, half->area.bottom),
              std::make_tuple(647, 51, 680, 119));
    EXPECT_STREQ(PanelPointer::TipAt(762, 11)->name, "Close");
    EXPECT_FALSE(PanelPointer::TipAt(681, 85));   // between the knob's halves
    EXPECT_EQ(PanelPointer::Tips().size(), 15u);  // two caption buttons and thirteen hot spots
}

}  // namespace
}  // namespace r512::test
