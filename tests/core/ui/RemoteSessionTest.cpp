// The remote window's session with a recording front end: what each command asks of the window
// and in which order, what it does to a held knob, and when the pointer is let go.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/MemoryProfile.h"
#include "ui/RemoteSession.h"
#include "ui/ResourceIds.h"

namespace r512::test {
namespace {

// Logs, space-separated, what the session asks of the window (cursors and redraws left out).
class RecordingWindow final : public RemoteWindowFrontEnd {
public:
    void PostNotice(std::uint32_t, std::uint32_t, std::uint32_t) override {}
    void SetLine(const char*, int, bool) override {}
    bool StartWindowTimer(int, unsigned) override { return Log("timer"), true; }
    void StopWindowTimer(int) override {}
    bool RunConfigDialog(bool) override { return Log("config"), false; }
    void RunAboutDialog() override { Log("about"); }
    void RunNames() override { Log("names"); }
    void EnablePanel(bool enabled) override { Log(enabled ? "panel-on" : "panel-off"); }
    void OpenPanel() override { Log("open-panel"); }
    void ReloadPanelIfVisible() override { Log("reload-panel"); }
    void SavePositions() override { Log("save"); }
    void CloseWindow() override { Log("close"); }
    void ApplyPointer(const PointerEffect& effect) override {
        const char* const kKinds[] = {"send!", "", "minimise", "close!", "menu",
                                      "drag",  "", "capture",  "release"};
        if (*kKinds[static_cast<int>(effect.kind)]) Log(kKinds[static_cast<int>(effect.kind)]);
    }
    void Log(const std::string& what) { log += (log.empty() ? "" : " ") + what; }

    std::string log;
};

struct Session {
    // Presses the knob's lower half (it repeats and holds the pointer) and clears the log.
    explicit Session(bool* buttonDown = nullptr)
        : session(profile, window, [buttonDown] { return !buttonDown || *buttonDown; }) {
        session.Pointer(PointerEvent::Press, PointerButton::Left, 665, 85);
        window.log.clear();
    }
    MemoryProfile profile;
    RecordingWindow window;
    RemoteSession session;
};

TEST(RemoteSession, EachCommandAsksTheWindowInOrderAndOnlyDialogsAndExitEndAHeldKnob) {
    const std::pair<int, const char*> cases[] = {
        {ID_EXIT, "release save close"},
        {ID_ABOUT, "release panel-off about panel-on"},
        {ID_CONFIGURE, "release panel-off config panel-on"},
        {ID_CONTROL_PANEL, "release open-panel"},
        {ID_NAMES, "release names"},
        {ID_REFRESH, "timer"},  // the wait before the display is recomposed
        {ID_POWER_TOGGLE, ""},
    };
    for (const auto& [id, log] : cases) {
        SCOPED_TRACE(id);
        Session s;
        s.session.Command(id);
        EXPECT_EQ(s.window.log, log);
        const bool ended = std::string(log).starts_with("release");
        EXPECT_EQ(s.session.Repeat().HotSpot() < 0, ended);
        if (ended) {
            EXPECT_EQ(s.session.Repeat().LastStop(), RepeatStop::DialogOrMenu);
        }
    }
}

TEST(RemoteSession, TheDrawnCloseButtonStoresThePositionsAndATickOrAFailedPortLetsThePointerGo) {
    Session close;
    close.session.Pointer(PointerEvent::Release, PointerButton::Left, 665, 85);
    close.session.Pointer(PointerEvent::Press, PointerButton::Left, 762, 11);
    close.session.Pointer(PointerEvent::Release, PointerButton::Left, 762, 11);
    EXPECT_EQ(close.window.log, "release capture release save close");

    bool buttonDown = false;  // the repeat's next tick finds the button up
    Session tick(&buttonDown);
    tick.session.TimerExpired(kRepeatTimer);
    EXPECT_EQ(tick.window.log, "release");
    Session failure;
    failure.session.Notice(WM_PORT_FAILED, 0, 0);
    EXPECT_TRUE(failure.window.log.ends_with(" release")) << failure.window.log;
}

}  // namespace
}  // namespace r512::test
