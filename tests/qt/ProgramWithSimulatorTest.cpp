// The program's window against the simulated device on a pseudo-terminal, with the real
// settings layer: connecting, the retry while the device is silent, and the display following
// what the device reports.
#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <chrono>
#include <string>

#include "base/Messages.h"
#include "device/Protocol.h"
#include "qt/ControlPanelDialog.h"
#include "qt/GuiTestSupport.h"
#include "qt/QtProfile.h"
#include "qt/RemoteWindow.h"
#include "simulator/Simulator.h"
#include "ui/ResourceIds.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string Line(const RemoteWindow& window, int line) {
    std::string text;
    for (int column = 0; column < 20; ++column) {
        const char c = window.findChild<FrontPanelDisplay*>(QStringLiteral("display"))
                           ->Text()
                           .At(line, column);
        text += c == 0 ? ' ' : c;
    }
    return text;
}

class Program : public SimulatedDeviceTest {
protected:
    std::vector<Clock::time_point> RefreshTimes() {
        std::vector<Clock::time_point> times;
        const auto bytes = device->Received();
        for (std::size_t i = 4; i < bytes.size(); ++i) {
            if (bytes[i].byte == 0xE3 && bytes[i - 4].byte == 0xE0) times.push_back(bytes[i].at);
        }
        return times;
    }
};

TEST_F(Program, SilentDeviceIsRetriedThenItsStateIsShown) {
    sim::Faults silent;
    silent.silent = true;
    device->SetFaults(silent);

    QtProfile profile;
    RemoteWindow window(profile);
    ASSERT_TRUE(window.Create());
    EXPECT_TRUE(messages.empty());
    // The refresh goes out at once, then again about every two seconds.
    ASSERT_TRUE(WaitUntil([&] { return RefreshTimes().size() >= 3; }, 7000));
    const auto times = RefreshTimes();
    for (std::size_t i = 1; i < times.size(); ++i) {
        const auto gap = times[i] - times[i - 1];
        EXPECT_GT(gap, 1700ms);
        EXPECT_LT(gap, 2600ms);
    }
    EXPECT_EQ(Line(window, 0), "   no connection    ");
    EXPECT_EQ(Line(window, 1), "      to R512       ");

    // The device answers the next refresh: the cycle ends and the display shows its state.
    device->SetFaults({});
    ASSERT_TRUE(WaitUntil([&] { return Line(window, 0) == "CD      Digital PCM "; }, 5000));
    EXPECT_EQ(Line(window, 1), "Stereo      vol: -35");
    const std::size_t refreshes = RefreshTimes().size();
    WaitUntil([] { return false; }, 2600);  // longer than one retry cycle
    EXPECT_EQ(RefreshTimes().size(), refreshes);
    EXPECT_FALSE(window.IsTimerRunning(kRetryTimer));
}

TEST_F(Program, AChangeAtTheDeviceIsAnnouncedForThreeSeconds) {
    QtProfile profile;
    RemoteWindow window(profile);
    ASSERT_TRUE(window.Create());
    ASSERT_TRUE(WaitUntil([&] { return Line(window, 1) == "Stereo      vol: -35"; }, 5000));

    device->PressKey(cmd::kBassUp);
    ASSERT_TRUE(WaitUntil([&] { return Line(window, 1) == "Stereo      Bass +1 "; }, 2000));
    const auto shown = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return Line(window, 1) == "Stereo      vol: -35"; }, 5000));
    const auto lasted = Clock::now() - shown;
    EXPECT_GT(lasted, 2700ms);
    EXPECT_LT(lasted, 3600ms);
    EXPECT_EQ(window.Link().Mirror().State(RS_BASS), RegisterState::Known);

    // A change of source shows at once on the top line.
    device->PressKey(cmd::kTuner);
    EXPECT_TRUE(WaitUntil([&] { return Line(window, 0) == "Tuner   Digital PCM "; }, 2000));
}

TEST_F(Program, StandbyBlanksTheDisplay) {
    QtProfile profile;
    RemoteWindow window(profile);
    ASSERT_TRUE(window.Create());
    ASSERT_TRUE(WaitUntil([&] { return Line(window, 0) == "CD      Digital PCM "; }, 5000));
    device->PressKey(cmd::kStandby);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return Line(window, 0) == std::string(20, ' ') &&
                   Line(window, 1) == std::string(20, ' ');
        },
        2000));
}

}  // namespace
}  // namespace r512::test

namespace r512::test {
namespace {

// The adapter is pulled out under the running program and plugged in again under the same
// name: the window shows no connection, without a message box, and the device comes back by
// itself.
// The Control Panel hides with its minimised owner and misses the reports meanwhile: shown again,
// it shows the device as it is now; and it stays the user's open panel for the next start.
TEST_F(Program, ControlPanelShowsTheDeviceWhenBackAndKeepsTheUsersChoice) {
    QtProfile profile;
    RemoteWindow window(profile);
    ASSERT_TRUE(window.Create());
    ASSERT_TRUE(WaitUntil([&] { return Line(window, 1) == "Stereo      vol: -35"; }, 5000));
    window.OnCommand(ID_CONTROL_PANEL);
    auto* panel = window.findChild<ControlPanelDialog*>(QStringLiteral("controlPanel"));
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->isVisible());
    const QLineEdit* volume = ControlById<QLineEdit>(panel, IDC_VOLUME);
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->text(), "-35");

    panel->hide();  // as the window system hides it with its minimised owner
    ASSERT_TRUE(window.Link().SendCommand(cmd::kVolumeUp));
    ASSERT_TRUE(WaitUntil([&] { return Line(window, 1) == "Stereo      vol: -34"; }, 5000));
    EXPECT_EQ(volume->text(), "-35");  // hidden: not reloaded by the report
    panel->show();
    EXPECT_EQ(volume->text(), "-34") << "stale after it came back";

    panel->hide();
    window.close();  // ends while the panel is hidden with its owner
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, settings::kOrganisation,
                       settings::kApplication);
    EXPECT_EQ(settings.value("Position/control.visible").toInt(), 1);
}

TEST_F(Program, APulledAdapterShowsNoConnectionThenComesBackByItself) {
    const QString linkPath = QDir::tempPath() + "/r512-gui-replug-" +
                             QString::number(QCoreApplication::applicationPid());
    std::string error;
    ASSERT_TRUE(device->LinkAs(linkPath.toStdString(), &error)) << error;
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, settings::kOrganisation,
                           settings::kApplication);
        settings.setValue("Config/Port", linkPath);
        settings.sync();
    }
    QtProfile profile;
    RemoteWindow window(profile);
    ASSERT_TRUE(window.Create());
    ASSERT_TRUE(WaitUntil([&] { return Line(window, 0) == "CD      Digital PCM "; }, 5000));

    device->Unplug();
    ASSERT_TRUE(WaitUntil([&] { return Line(window, 0) == "   no connection    "; }, 3000));
    EXPECT_FALSE(window.Link().IsOpen());
    WaitUntil([] { return false; }, 2500);  // a retry finds nothing there
    EXPECT_TRUE(messages.empty());

    ASSERT_TRUE(device->Replug(&error)) << error;
    ASSERT_TRUE(WaitUntil([&] { return Line(window, 0) == "CD      Digital PCM "; }, 3000));
    EXPECT_EQ(Line(window, 1), "Stereo      vol: -35");
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace r512::test
