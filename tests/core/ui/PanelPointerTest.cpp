// The remote window's pointer: sequences of events and the effects a front end is asked to
// apply for each, with the knob's repeat they leave behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "support/RecordingWindowTimers.h"
#include "ui/PanelPointer.h"

namespace r512::test {
namespace {

struct Point {
    int x, y;
};
constexpr Point kMinimize{728, 10}, kMinimizeEdge{721, 4}, kClose{762, 11}, kBody{600, 140},
    kAudio{209, 109}, kSpeakers{365, 109}, kLevels{443, 109}, kKnobDown{665, 85}, kKnobUp{697, 85},
    kKnobGap{681, 85};

struct Event {
    enum Kind { Pointer, Cancel, TickButtonUp } kind;
    PointerEvent event = PointerEvent::Move;
    PointerButton button = PointerButton::None;
    Point at{};
    RepeatStop reason = RepeatStop::ButtonReleased;
};
Event Down(Point p, PointerButton b = PointerButton::Left) {
    return {Event::Pointer, PointerEvent::Press, b, p};
}
Event Double(Point p) {
    return {Event::Pointer, PointerEvent::DoubleClick, PointerButton::Left, p};
}
Event MoveTo(Point p) { return {Event::Pointer, PointerEvent::Move, PointerButton::None, p}; }
Event Up(Point p, PointerButton b = PointerButton::Left) {
    return {Event::Pointer, PointerEvent::Release, b, p};
}
Event Lost(RepeatStop reason) { return {.kind = Event::Cancel, .reason = reason}; }
Event TickButtonUp() { return {.kind = Event::TickButtonUp}; }
constexpr PointerButton kRight = PointerButton::Right;

// A fresh pointer on a knob repeat with timers that only record, and the button's state as
// the repeat's probe reads it.
struct Session {
    Session() {
        repeat.SetButtonProbe([this] { return buttonDown; });
    }

    // The effects of each event, one group a step ("|" between steps); a redrawn caption
    // button shows as drawn after its step: "down0", "up1".
    std::string Run(const std::vector<Event>& events) {
        std::string text;
        for (const Event& e : events) {
            PointerEffects effects;
            switch (e.kind) {
                case Event::Pointer:
                    effects = pointer.Handle(e.event, e.button, e.at.x, e.at.y);
                    break;
                case Event::Cancel:
                    effects = pointer.Cancel(e.reason);
                    break;
                case Event::TickButtonUp:
                    buttonDown = false;
                    EXPECT_FALSE(repeat.Tick());
                    effects = pointer.Settle();
                    break;
            }
            if (!text.empty()) text += " |";
            for (const PointerEffect& effect : effects) text += " " + Describe(effect);
        }
        return text;
    }

    std::string Describe(const PointerEffect& e) const {
        using K = PointerEffect::Kind;
        const std::string at = "@" + std::to_string(e.x) + "," + std::to_string(e.y);
        static const char* const kMenus[] = {"none",        "File",     "Power",       "Audio",
                                             "Video",       "Tape",     "MultiSource", "Mode",
                                             "LevelsPopup", "TonePopup"};
        static const char* const kCursors[] = {"hand", "knob-down", "knob-up", "arrow", "body"};
        switch (e.kind) {
            case K::Send: {
                char code[8];
                std::snprintf(code, sizeof(code), "send%02X", e.code);
                return code;
            }
            case K::RedrawCaption:
                return (pointer.CaptionDown(e.caption) ? "down" : "up") + std::to_string(e.caption);
            case K::Minimise:
                return "minimise";
            case K::Close:
                return "close";
            case K::OpenMenu:
                return kMenus[static_cast<int>(e.menu)] + at;
            case K::StartDrag:
                return "drag" + at;
            case K::Cursor:
                return kCursors[static_cast<int>(e.cursor)];
            case K::Capture:
                return "capture";
            case K::ReleaseCapture:
                return "release";
        }
        return "?";
    }

    RecordingWindowTimers timers;
    KnobRepeat repeat{timers};
    PanelPointer pointer{repeat};
    bool buttonDown = true;
};

TEST(PanelPointer, SequencesGiveTheirEffectsAndLeaveTheRepeatAsTheySay) {
    using RS = RepeatStop;
    const struct {
        const char* what;
        std::vector<Event> events;
        std::string effects;
        int held;  // the knob half still repeating, or -1
        std::optional<RepeatStop> stopped;
    } kRows[] = {
        {"a hot spot sends on the press only", {Down(kAudio), Up(kAudio)}, " send74 |", -1, {}},
        {"another button does nothing", {Down(kAudio, PointerButton::None)}, "", -1, {}},
        {"a double click is two presses",
         {Down(kAudio), Up(kAudio), Double(kAudio), Up(kAudio)},
         " send74 | | send74 |",
         -1,
         {}},
        {"the gap between the knob's halves is body", {Down(kKnobGap)}, " drag@681,85", -1, {}},
        {"Minimize acts on a release over it",
         {Down(kMinimize), MoveTo(kMinimizeEdge), Up(kMinimize)},
         " capture down0 | | release up0 minimise",
         -1,
         {}},
        {"Close released elsewhere does nothing",
         {Down(kClose), MoveTo(kBody), Up(kBody)},
         " capture down1 | up1 | release up1",
         -1,
         {}},
        {"out and back in: drawn up, then down, and acts",
         {Down(kClose), MoveTo(kBody), MoveTo(kClose), Up(kClose)},
         " capture down1 | up1 | down1 | release up1 close",
         -1,
         {}},
        {"a lost capture lets an armed button go undone",
         {Down(kClose), Lost(RS::CaptureLost), Up(kClose)},
         " capture down1 | up1 |",
         -1,
         {}},
        {"the knob repeats until released",
         {Down(kKnobUp), MoveTo(kKnobUp), Up(kKnobUp)},
         " send15 capture | knob-up | release",
         -1,
         RS::ButtonReleased},
        {"still held", {Down(kKnobDown)}, " send16 capture", 11, {}},
        {"leaving the half stops it for good",
         {Down(kKnobDown), MoveTo(kKnobGap), MoveTo(kKnobDown), Up(kKnobDown)},
         " send16 capture | release body | knob-down |",
         -1,
         RS::LeftHalf},
        {"a lost capture is not released again",
         {Down(kKnobUp), Lost(RS::CaptureLost)},
         " send15 capture |",
         -1,
         RS::CaptureLost},
        {"deactivation",
         {Down(kKnobUp), Lost(RS::Deactivated)},
         " send15 capture | release",
         -1,
         RS::Deactivated},
        {"a tick finds the button up",
         {Down(kKnobUp), TickButtonUp()},
         " send15 capture | release",
         -1,
         RS::ButtonNotDown},
        {"a right click on the body while held",
         {Down(kKnobUp), Down(kBody, kRight)},
         " send15 capture | release File@600,140",
         -1,
         RS::DialogOrMenu},
        {"right clicks: a menu, a popup, nothing, nothing on a caption button",
         {Down(kAudio, kRight), Down(kLevels, kRight), Down(kSpeakers, kRight),
          Down(kMinimize, kRight), Up(kMinimize, kRight)},
         " Audio@209,109 | LevelsPopup@443,109 | | |",
         -1,
         {}},
        {"hovering shows each area's cursor",
         {MoveTo(kAudio), MoveTo(kKnobDown), MoveTo(kKnobUp), MoveTo(kClose), MoveTo(kBody)},
         " hand | knob-down | knob-up | arrow | body",
         -1,
         {}},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.what);
        Session session;
        EXPECT_EQ(session.Run(row.events), row.effects);
        EXPECT_EQ(session.repeat.HotSpot(), row.held);
        EXPECT_EQ(session.timers.IsTimerRunning(kRepeatTimer), row.held >= 0);
        EXPECT_EQ(session.repeat.LastStop(), row.stopped);
    }
}

// A tip names the area under the pointer and stays up within the box around that area: a
// knob half's box is its ellipse's cut to its own side.
TEST(PanelPointer, TipsNameTheAreaAndTheBoxItStaysUpIn) {
    const struct {
        Point at;
        const char* name;  // none over the body
        Rect area;
    } kRows[] = {
        {kClose, "Close", {755, 4, 770, 19}},
        {kAudio, "Audio", {200, 100, 218, 118}},
        {kKnobDown, "Control -", {647, 51, 680, 119}},
        {kKnobUp, "Control +", {682, 51, 715, 119}},
        {kKnobGap, nullptr, {}},
        {kBody, nullptr, {}},
    };
    for (const auto& row : kRows) {
        const std::optional<PanelTip> tip = PanelPointer::TipAt(row.at.x, row.at.y);
        ASSERT_EQ(tip.has_value(), row.name != nullptr) << row.at.x;
        if (!tip) continue;
        EXPECT_STREQ(tip->name, row.name);
        EXPECT_EQ(std::tie(tip->area.left, tip->area.top, tip->area.right, tip->area.bottom),
                  std::tie(row.area.left, row.area.top, row.area.right, row.area.bottom))
            << row.name;
    }
    EXPECT_EQ(PanelPointer::Tips().size(), 15u);  // two caption buttons and thirteen hot spots
}

}  // namespace
}  // namespace r512::test
