// The mouse on the remote window, with the real link and the simulated device: hot spots send
// their codes on the press, the knob repeats, the drawn caption buttons act on release, and the
// menus and popups reach the command set.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <chrono>

#include "base/Messages.h"
#include "qt/GuiTestSupport.h"
#include "qt/PopupPanel.h"
#include "qt/QtProfile.h"
#include "qt/RemoteWindow.h"
#include "simulator/Simulator.h"
#include "ui/HotSpotTable.h"
#include "ui/KnobRepeat.h"
#include "ui/ResourceIds.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;

class Pointer : public SimulatedDeviceTest {
protected:
    void SetUp() override {
        SimulatedDeviceTest::SetUp();
        window = std::make_unique<RemoteWindow>(profile);
        ASSERT_TRUE(window->Create());
        ASSERT_TRUE(WaitUntil(
            [&] { return !window->Link().Mirror().AllPending() && device->Commands().size() == 1; },
            5000));
        ASSERT_TRUE(WaitUntil([&] { return !window->IsTimerRunning(kSettleTimer); }, 3000));
        device->ClearRecord();
    }
    void TearDown() override {
        window.reset();
        SimulatedDeviceTest::TearDown();
    }

    static QPoint Centre(int spot) {
        const Rect& r = HotSpots()[static_cast<std::size_t>(spot)].region.ellipse;
        if (spot == 11) return {665, 85};
        if (spot == 12) return {697, 85};
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    // The context menu open now, or nullptr.
    QMenu* OpenMenu() const {
        for (QMenu* menu : window->findChildren<QMenu*>()) {
            if (menu->isVisible()) return menu;
        }
        return nullptr;
    }

    QtProfile profile;
    std::unique_ptr<RemoteWindow> window;
};

TEST_F(Pointer, EachHotSpotSendsItsCodeOnceOnThePress) {
    for (int spot = 0; spot < 13; ++spot) {
        device->ClearRecord();
        QTest::mousePress(window.get(), Qt::LeftButton, {}, Centre(spot));
        QTest::mouseRelease(window.get(), Qt::LeftButton, {}, Centre(spot));
        EXPECT_EQ(SettledCommands(1),
                  std::vector<std::uint8_t>{HotSpots()[static_cast<std::size_t>(spot)].code})
            << HotSpots()[static_cast<std::size_t>(spot)].name;
    }
}

TEST_F(Pointer, ADoubleClickSendsTwiceAndTheKnobsMiddleNothing) {
    // Two clicks in quick succession: the second press arrives as a double click.
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, Centre(1));
    QTest::mouseDClick(window.get(), Qt::LeftButton, {}, Centre(1));
    EXPECT_EQ(SettledCommands(2), (std::vector<std::uint8_t>{0x74, 0x74}));
    device->ClearRecord();
    for (int x : {680, 681}) {
        QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(x, 85));
        QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(x, 85));
    }
    EXPECT_TRUE(SettledCommands(0).empty());
}

TEST_F(Pointer, HoldingTheKnobRepeatsEveryTenthOfASecondUntilReleased) {
    QTest::mousePress(window.get(), Qt::LeftButton, {}, Centre(12));
    WaitUntil([] { return false; }, 1000);
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, Centre(12));
    const std::size_t held = device->Commands().size();
    const auto commands = SettledCommands(held);
    EXPECT_GE(commands.size(), 8u);
    EXPECT_LE(commands.size(), 12u);
    for (std::uint8_t code : commands) EXPECT_EQ(code, 0x15);
    EXPECT_EQ(window->RepeatingHotSpot(), -1);
    // The timer ends itself at its next tick, which sends nothing.
    EXPECT_TRUE(WaitUntil([&] { return !window->IsTimerRunning(kRepeatTimer); }, 1000));
    EXPECT_EQ(device->Commands().size(), commands.size());
}

TEST_F(Pointer, SlidingOffTheKnobHalfStopsTheRepeatForGood) {
    QTest::mousePress(window.get(), Qt::LeftButton, {}, Centre(11));
    QTest::mouseMove(window.get(), QPoint(680, 85));  // the gap between the halves
    EXPECT_EQ(window->RepeatingHotSpot(), -1);
    QTest::mouseMove(window.get(), Centre(11));  // back: no new repeat
    WaitUntil([] { return false; }, 500);
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, Centre(11));
    EXPECT_EQ(SettledCommands(1), std::vector<std::uint8_t>{0x16});
}

// A held knob half stops whenever the window loses the pointer, with at most one more code
// after the loss: the button comes up over another window that the window never hears of, the
// window is deactivated, hidden by a minimise, or a menu opens.
TEST_F(Pointer, AHeldKnobStopsWhenTheWindowLosesThePointer) {
    enum class Loss { ReleaseElsewhere, OtherWindowActive, Minimised, MenuOpens };
    const struct {
        const char* what;
        Loss loss;
        RepeatStop reason;
    } kRows[] = {
        {"released over another window", Loss::ReleaseElsewhere, RepeatStop::ButtonNotDown},
        {"another window activated", Loss::OtherWindowActive, RepeatStop::Deactivated},
        {"minimised", Loss::Minimised, RepeatStop::Hidden},
        {"a menu opens", Loss::MenuOpens, RepeatStop::DialogOrMenu},
    };
    QWidget other;  // another program's window
    other.setGeometry(100, 400, 200, 100);
    ASSERT_TRUE(ShowActive(other));
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.what);
        if (window->isMinimized()) window->showNormal();
        window->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return window->isActiveWindow(); }, 2000));
        device->ClearRecord();
        QTest::mousePress(window.get(), Qt::LeftButton, {}, Centre(12));
        ASSERT_TRUE(WaitUntil([&] { return device->Commands().size() >= 3; }, 2000));
        switch (row.loss) {
            case Loss::ReleaseElsewhere:
                // The release goes to the other window: this one gets no button-up.
                QTest::mouseRelease(&other, Qt::LeftButton, {}, QPoint(10, 10));
                break;
            case Loss::OtherWindowActive:
                other.activateWindow();
                QApplication::setActiveWindow(&other);
                break;
            case Loss::Minimised:
                window->showMinimized();
                break;
            case Loss::MenuOpens:
                QTest::mousePress(window.get(), Qt::RightButton, {}, QPoint(600, 30));
                break;
        }
        const std::size_t atLoss = device->Commands().size();
        WaitUntil([] { return false; }, 500);
        EXPECT_LE(device->Commands().size(), atLoss + 1) << "the repeat went on";
        EXPECT_FALSE(window->IsTimerRunning(kRepeatTimer));
        EXPECT_EQ(window->LastRepeatStop(), row.reason);
        if (row.loss != Loss::ReleaseElsewhere)
            QTest::mouseRelease(&other, Qt::LeftButton, {}, QPoint(10, 10));
        if (QMenu* menu = OpenMenu()) menu->close();
    }
}

TEST_F(Pointer, MinimizeActsOnlyWhenReleasedOverIt) {
    const QPoint minimize(728, 10);
    QTest::mousePress(window.get(), Qt::LeftButton, {}, minimize);
    EXPECT_TRUE(window->CaptionButtonDown(0));
    QTest::mouseMove(window.get(), QPoint(600, 140));
    EXPECT_FALSE(window->CaptionButtonDown(0));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(600, 140));
    EXPECT_FALSE(window->isMinimized());
    EXPECT_FALSE(window->CaptionButtonDown(0));

    QTest::mousePress(window.get(), Qt::LeftButton, {}, minimize);
    QTest::mouseMove(window.get(), QPoint(600, 140));
    QTest::mouseMove(window.get(), minimize);
    EXPECT_TRUE(window->CaptionButtonDown(0));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, minimize);
    EXPECT_TRUE(WaitUntil([&] { return window->isMinimized(); }, 2000));
    EXPECT_TRUE(SettledCommands(0).empty());
}

TEST_F(Pointer, CloseButtonSavesThePositionsAndClosesTheWindow) {
    window->move(40, 30);
    QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(760, 10));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(760, 10));
    EXPECT_FALSE(window->isVisible());
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "ZEL",
                       "R512 Control Software");
    EXPECT_EQ(settings.value("Position/main.x").toInt(), 40);
    EXPECT_EQ(settings.value("Position/main.y").toInt(), 30);
    for (const char* key : {"Position/control.x", "Position/control.y", "Position/control.visible"})
        EXPECT_TRUE(settings.contains(key)) << key;
}

TEST_F(Pointer, RightClickWithoutMenuOrPopupDoesNothing) {
    for (int spot : {5, 6, 8, 11, 12}) {
        QTest::mousePress(window.get(), Qt::RightButton, {}, Centre(spot));
        QTest::mouseRelease(window.get(), Qt::RightButton, {}, Centre(spot));
        EXPECT_EQ(OpenMenu(), nullptr) << spot;
        EXPECT_FALSE(window->findChild<ToneDialog*>(QStringLiteral("tone"))->isVisible());
        EXPECT_FALSE(window->findChild<LevelsDialog*>(QStringLiteral("levels"))->isVisible());
    }
    EXPECT_TRUE(SettledCommands(0).empty());
}

TEST_F(Pointer, MenusOpenWhereTheyShouldAndTheirItemsSendTheirCodes) {
    // The body: the File menu; its Refresh asks the device again.
    QTest::mousePress(window.get(), Qt::RightButton, {}, QPoint(600, 30));
    ASSERT_NE(OpenMenu(), nullptr);
    QStringList items;
    for (QAction* action : OpenMenu()->actions())
        items << (action->isSeparator() ? QStringLiteral("---") : action->text());
    EXPECT_EQ(items, QStringList({"Configure", "Control Panel", "Names", "Refresh", "---", "About",
                                  "Exit"}));
    OpenMenu()->actions()[3]->trigger();
    OpenMenu()->close();
    EXPECT_EQ(SettledCommands(1), std::vector<std::uint8_t>{0xE3});

    // The Video button: its menu; Video 3 selects that input.
    device->ClearRecord();
    QTest::mousePress(window.get(), Qt::RightButton, {}, Centre(2));
    ASSERT_NE(OpenMenu(), nullptr);
    EXPECT_EQ(OpenMenu()->actions().size(), 6);
    OpenMenu()->actions()[2]->trigger();
    OpenMenu()->close();
    EXPECT_EQ(SettledCommands(1), std::vector<std::uint8_t>{0x0F});

    // Multi Source "CD" from the zone's Tuner: seven steps.
    device->ClearRecord();
    ASSERT_EQ(window->Link().Mirror().Value(RS_ZONE_AUDIO_SOURCE), 9);
    QTest::mousePress(window.get(), Qt::RightButton, {}, Centre(4));
    ASSERT_NE(OpenMenu(), nullptr);
    OpenMenu()->actions()[6]->trigger();
    OpenMenu()->close();
    EXPECT_EQ(SettledCommands(7), std::vector<std::uint8_t>(7, 0x8D));
}

TEST_F(Pointer, PopupsOpenAtThePointerPostTheirIdsAndHideWhenLeft) {
    const QPoint tonePoint = Centre(9);
    QTest::mousePress(window.get(), Qt::RightButton, {}, tonePoint);
    ToneDialog* tone = window->findChild<ToneDialog*>(QStringLiteral("tone"));
    ASSERT_TRUE(WaitUntil([&] { return tone->isVisible(); }, 2000));
    EXPECT_EQ(tone->pos(), window->mapToGlobal(tonePoint));
    QPushButton* trebleUp = PushButton(*tone, IDC_TREBLE_UP);
    ASSERT_NE(trebleUp, nullptr);
    for (int i = 0; i < 3; ++i) QTest::mouseClick(trebleUp, Qt::LeftButton);
    PressKeyOn(*tone, IDC_TREBLE_UP, Qt::Key_Return);  // Enter presses the focused button
    EXPECT_EQ(SettledCommands(4), std::vector<std::uint8_t>(4, 0x46));
    EXPECT_TRUE(tone->isVisible());

    // The Levels popup takes over: Tone loses activation and hides.
    device->ClearRecord();
    QTest::mousePress(window.get(), Qt::RightButton, {}, Centre(7));
    LevelsDialog* levels = window->findChild<LevelsDialog*>(QStringLiteral("levels"));
    ASSERT_TRUE(WaitUntil([&] { return levels->isVisible(); }, 2000));
    EXPECT_TRUE(WaitUntil([&] { return !tone->isVisible(); }, 2000));
    QTest::mouseClick(PushButton(*levels, IDC_SURROUND_DOWN), Qt::LeftButton);
    EXPECT_EQ(SettledCommands(1), std::vector<std::uint8_t>{0x84});

    // Back to the remote window: the popup hides and nothing is sent.
    device->ClearRecord();
    window->activateWindow();
    EXPECT_TRUE(WaitUntil([&] { return !levels->isVisible(); }, 2000));
    EXPECT_TRUE(SettledCommands(0).empty());
}

TEST_F(Pointer, TheDisplayIsNeitherBodyNorHotSpot) {
    auto* display = window->findChild<FrontPanelDisplay*>(QStringLiteral("display"));
    ASSERT_NE(display, nullptr);
    const QPoint start = window->pos();
    QTest::mousePress(display, Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseMove(display, QPoint(60, 12));
    QTest::mouseRelease(display, Qt::LeftButton, {}, QPoint(60, 12));
    EXPECT_EQ(window->pos(), start);  // not dragged
    QTest::mousePress(display, Qt::RightButton, {}, QPoint(20, 5));
    EXPECT_EQ(OpenMenu(), nullptr);  // no File menu
    EXPECT_TRUE(SettledCommands(0).empty());

    // The body beside it still drags the window.
    QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(300, 60));
    QTest::mouseMove(window.get(), QPoint(340, 70));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(340, 70));
    EXPECT_EQ(window->pos(), start + QPoint(40, 10));
}

// Their controls are checked against their templates with the other dialogs'
// (DialogTemplatesTest).
TEST_F(Pointer, PopupsHaveTheRaisedFrameOfADialog) {
    LevelsDialog* levels = window->findChild<LevelsDialog*>(QStringLiteral("levels"));
    const QPushButton* minus = PushButton(*levels, IDC_SUBWOOFER_DOWN);
    ASSERT_TRUE(minus);
    // Around the client area the raised frame of a dialog: light above, dark below.
    const QImage shot = levels->grab().toImage();
    EXPECT_GT(qGray(shot.pixel(0, 0)), qGray(shot.pixel(shot.width() - 1, shot.height() - 1)));
    EXPECT_EQ(levels->mapFromGlobal(minus->mapToGlobal(QPoint(0, 0))), QPoint(3, 3));
}

}  // namespace
}  // namespace r512::test
