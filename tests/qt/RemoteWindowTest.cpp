// The remote window as the program creates it: settings, placement, skin and display.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTimer>

#include "base/Messages.h"
#include "qt/GuiTestSupport.h"
#include "qt/QtProfile.h"
#include "qt/RemoteWindow.h"
#include "ui/HotSpotTable.h"
#include "ui/ResourceIds.h"

namespace r512::test {
namespace {

class Window : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        SetMessageSink([this](int id, const std::string&) { messages.push_back(id); });
        // No real port on the test machine: a path that is certainly not one.
        Settings().setValue("Config/Port", "/dev/r512-test-no-such-port");
        screen = QGuiApplication::primaryScreen()->geometry().size();
    }
    void TearDown() override { SetMessageSink(nullptr); }

    static QSettings& Settings() {
        static QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "ZEL",
                                  "R512 Control Software");
        settings.sync();
        return settings;
    }
    static int Stored(const char* key) {
        Settings().sync();
        return Settings().value(key, -999).toInt();
    }

    std::vector<int> messages;
    QSize screen;
};

TEST_F(Window, FirstRunIsCentredAndMarksTheProgramConfigured) {
    QtProfile profile;
    RemoteWindow window(profile);
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(window.pos(), QPoint((screen.width() - 775) / 2, (screen.height() - 168) / 15));
    EXPECT_EQ(Stored("Config/Configured"), 1);
    EXPECT_EQ(window.size(), QSize(775, 168));
    EXPECT_EQ(window.windowTitle(), "R512 Control Software");
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    // The first-run welcome, then the port can't be opened, said when the open's notice comes:
    // the window stays up without a link.
    EXPECT_EQ(messages, (std::vector<int>{IDC_SOURCE_VIDEO_3}));
    EXPECT_TRUE(WaitUntil([&] { return !window.Link().Opening(); }, 5000));
    EXPECT_EQ(messages, (std::vector<int>{IDC_SOURCE_VIDEO_3, IDC_SUBWOOFER}));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.Link().IsOpen());
    for (int id = 0; id < 5; ++id) EXPECT_FALSE(window.IsTimerRunning(id));
}

TEST_F(Window, StoredPositionsAreClampedAndMissingOnesAreZero) {
    Settings().setValue("Config/Configured", 1);
    {
        QtProfile profile;
        RemoteWindow window(profile);
        window.Create();
        EXPECT_EQ(window.pos(), QPoint(0, 0));
    }
    Settings().setValue("Position/main.x", 5000);
    Settings().setValue("Position/main.y", 4000);
    Settings().setValue("Position/control.x", 5000);
    Settings().setValue("Position/control.y", 4000);
    Settings().setValue("Position/control.visible", 1);
    QtProfile profile;
    RemoteWindow window(profile);
    window.Create();
    EXPECT_EQ(window.pos(), QPoint(screen.width() - 775, screen.height() - 168));
    // The Control Panel by its frame: the frame's far corner in the desktop's.
    const QWidget* panel = window.findChild<QWidget*>(QStringLiteral("controlPanel"));
    ASSERT_TRUE(panel && panel->isVisible());
    ASSERT_GT(panel->frameGeometry().width(), panel->width());  // the platform draws a frame
    EXPECT_EQ(panel->frameGeometry().bottomRight(),
              QPoint(screen.width() - 1, screen.height() - 1));
}

TEST_F(Window, ClosingSavesAllFivePositions) {
    Settings().setValue("Config/Configured", 1);
    Settings().setValue("Position/control.x", 33);
    Settings().setValue("Position/control.visible", 1);
    QtProfile profile;
    RemoteWindow window(profile);
    window.Create();
    window.move(12, 7);
    window.close();
    EXPECT_EQ(Stored("Position/main.x"), 12);
    EXPECT_EQ(Stored("Position/main.y"), 7);
    // The Control Panel opened where it was left (a missing y is the top) and was visible.
    EXPECT_EQ(Stored("Position/control.x"), 33);
    EXPECT_EQ(Stored("Position/control.y"), 0);
    EXPECT_EQ(Stored("Position/control.visible"), 1);
}

// The program ends without the window being closed (the end of the desktop session): the
// positions are stored as a close stores them.
TEST_F(Window, QuittingWithoutACloseStoresThePositions) {
    Settings().setValue("Config/Configured", 1);
    QtProfile profile;
    RemoteWindow window(profile);
    window.Create();
    window.move(23, 19);
    Settings().setValue("Position/main.x", -5);
    Settings().sync();
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });  // closes no window
    QCoreApplication::exec();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Stored("Position/main.x"), 23);
    EXPECT_EQ(Stored("Position/main.y"), 19);
}

TEST_F(Window, CorruptSettingsReadAsTheirDefaults) {
    Settings().setValue("Config/Configured", "yes please");
    Settings().setValue("Config/Speed", "fast");
    QtProfile profile;
    EXPECT_EQ(profile.GetProfileInt("Config", "Configured", 0), 0);
    EXPECT_EQ(profile.GetProfileInt("Config", "Speed", 12000), 12000);
    EXPECT_EQ(profile.GetProfileString("Config", "Missing", "COM1"), "COM1");
    EXPECT_TRUE(profile.WriteProfileString("Config", "Port", "COM3"));
    EXPECT_EQ(QtProfile().GetProfileString("Config", "Port", "COM1"), "COM3");
}

TEST_F(Window, SkinKeepsItsOwnColoursAndIsPaintedWithTheDisplayAndButtons) {
    QtProfile profile;
    RemoteWindow window(profile);
    window.Create();
    ASSERT_FALSE(window.Skin().isNull());
    EXPECT_EQ(window.Skin().depth(), 8);
    EXPECT_FALSE(window.Palette().halftone);
    ASSERT_EQ(window.Palette().colours.size(), 256u);
    const QRgb first = window.Skin().color(0);
    EXPECT_EQ(window.Palette().colours[0].red, qRed(first));

    const auto* display = window.findChild<FrontPanelDisplay*>(QStringLiteral("display"));
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->geometry(), QRect(315, 55, 140, 18));
    EXPECT_EQ(display->internalWinId(), 0u);  // drawn in the window's own surface

    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(775, 168));
    const QImage skin = window.Skin().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(10, 150), skin.pixel(10, 150));  // plain panel
    EXPECT_EQ(shot.pixel(681, 85), skin.pixel(681, 85));  // the knob
    // The Close button's up image, drawn at its corner.
    const QImage close = QImage(":/caption/close-up.bmp").convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < close.height(); ++y)
        for (int x = 0; x < close.width(); ++x)
            ASSERT_EQ(shot.pixel(755 + x, 4 + y), close.pixel(x, y));
    // The display area shows the display's background before anything is known.
    EXPECT_EQ(shot.pixel(320, 60), qRgb(4, 4, 4));
}

}  // namespace
}  // namespace r512::test
