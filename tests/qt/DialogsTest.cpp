// The Control Panel, the configuration dialog with the first run, and the About box, with the
// real link, the simulated device and the real settings layer.
#include <gtest/gtest.h>

#include <functional>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <algorithm>

#include "base/Messages.h"
#include "qt/AboutDialog.h"
#include "qt/ConfigDialog.h"
#include "qt/ControlPanelDialog.h"
#include "qt/GuiTestSupport.h"
#include "qt/ModalRun.h"
#include "qt/NamesDialog.h"
#include "qt/QtProfile.h"
#include "qt/RemoteWindow.h"
#include "simulator/Simulator.h"
#include "ui/CommandSet.h"
#include "ui/HotSpotTable.h"
#include "ui/ResourceIds.h"

namespace r512::test {
namespace {

QSettings& Stored() {
    static QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "ZEL",
                              "R512 Control Software");
    settings.sync();
    return settings;
}

class WithDevice : public SimulatedDeviceTest {
protected:
    void TearDown() override {
        window.reset();
        SimulatedDeviceTest::TearDown();
    }

    void Start() {
        window = std::make_unique<RemoteWindow>(profile);
        ASSERT_TRUE(window->Create());
        ASSERT_TRUE(WaitForOpen());
        // Every register reported, so that the panel has the whole device to show.
        ASSERT_TRUE(WaitUntil(
            [&] { return window->Link().Mirror().State(RS_THX) != RegisterState::Pending; }, 5000));
        panel = window->findChild<ControlPanelDialog*>(QStringLiteral("controlPanel"));
        ASSERT_NE(panel, nullptr);
    }
    // The port opens off the window's thread: until its notice has been handled, the link
    // is neither open nor failed.
    bool WaitForOpen() {
        return WaitUntil([&] { return !window->Link().Opening(); }, 5000);
    }
    QWidget* Control(int id) const { return ControlById(panel, id); }
    QString Text(int id) { return static_cast<QLineEdit*>(Control(id))->text(); }
    bool Checked(int id) { return static_cast<QAbstractButton*>(Control(id))->isChecked(); }
    void Click(int id) { QTest::mouseClick(Control(id), Qt::LeftButton); }
    // Whether `code` reached the device within a moment.
    bool Sent(std::uint8_t code) {
        const auto sent = SettledCommands(0);
        return std::find(sent.begin(), sent.end(), code) != sent.end();
    }
    // Whether `code` reaches the device, waited for as long as the device may take (a loaded
    // machine may take longer than any fixed moment); for a command that must come.
    bool Arrives(std::uint8_t code) {
        return WaitUntil(
            [&] {
                const auto sent = device->Commands();
                return std::find(sent.begin(), sent.end(), code) != sent.end();
            },
            5000);
    }
    // A click on the panel's Mute reaches the device.
    bool PanelResponds() {
        device->ClearRecord();
        Click(IDC_MUTE);
        return panel->isEnabled() && Arrives(cmd::kMuteToggle);
    }
    // The panel looks as it always does, but a click on its Mute sends nothing. (Absence can
    // only be seen over a moment; that a click does send is PanelResponds'.)
    bool PanelBlocked() {
        device->ClearRecord();
        Click(IDC_MUTE);
        return panel->isEnabled() && Control(IDC_MUTE)->isEnabled() && !Sent(cmd::kMuteToggle);
    }
    // A press on the window's Audio button sends nothing.
    bool WindowBlocked() {
        device->ClearRecord();
        const HotSpot& audio = HotSpots()[1];
        const Rect& r = audio.region.ellipse;
        QTest::mouseClick(window.get(), Qt::LeftButton, {},
                          QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        return window->isEnabled() && !Sent(audio.code);
    }
    // One arrow of an up-down control.
    void ClickArrow(int id, Qt::ArrowType arrow) {
        for (QToolButton* button : Control(id)->findChildren<QToolButton*>()) {
            if (button->arrowType() == arrow) QTest::mouseClick(button, Qt::LeftButton);
        }
    }

    QtProfile profile;
    std::unique_ptr<RemoteWindow> window;
    ControlPanelDialog* panel = nullptr;
};

TEST_F(WithDevice, ControlPanelShowsWhatTheDeviceReports) {
    Start();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->windowTitle(), "R512 Control Panel");
    window->OnCommand(ID_CONTROL_PANEL);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(Text(IDC_VOLUME), "-35");
    EXPECT_TRUE(Checked(IDC_SOURCE_CD));  // CD

    device->ChangeRegister(RS_VOLUME, 60);
    device->ChangeRegister(RS_BASS, 15);
    device->ChangeRegister(RS_TREBLE, 0);
    device->ChangeRegister(RS_AUDIO_SOURCE, 64);
    device->ChangeRegister(RS_STEREO_MODE, 2);
    device->ChangeRegister(RS_TV_SYSTEM, 2);
    ASSERT_TRUE(WaitUntil([&] { return Text(IDC_VIDEO_FORMAT) == "NTSC"; }, 3000));
    EXPECT_EQ(Text(IDC_VOLUME), "-40");
    EXPECT_EQ(Text(IDC_BASS), "3");
    EXPECT_EQ(Text(IDC_TREBLE), "-12");
    EXPECT_TRUE(Checked(IDC_SOURCE_EXT_51));  // Ext 5.1
    EXPECT_FALSE(Checked(IDC_SOURCE_CD));
    for (int id : {IDC_MODE_STEREO_DIRECT, IDC_MODE_STEREO_DOWNMIX, IDC_MODE_MONO_DOWNMIX,
                   IDC_MODE_BYPASS, IDC_MODE_EARS, IDC_MODE_PROLOGIC, IDC_MODE_SURROUND_61})
        EXPECT_FALSE(Checked(id)) << id;
    EXPECT_EQ(Text(IDC_AUDIO_FORMAT), "Digital PCM");
    EXPECT_EQ(Text(IDC_AUDIO_INPUT), "Coaxial");
    EXPECT_EQ(Text(IDC_VIDEO_INPUT), "Composite");
}

TEST_F(WithDevice, ClicksSendCommandsButOnlyReportsMoveTheMarks) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    device->ClearRecord();
    Click(IDC_SOURCE_VIDEO_2);                  // Video 2, not the current source
    EXPECT_FALSE(Checked(IDC_SOURCE_VIDEO_2));  // not until the device says so
    EXPECT_TRUE(Checked(IDC_SOURCE_CD));
    EXPECT_EQ(SettledCommands(1), std::vector<std::uint8_t>{0x0E});
    EXPECT_TRUE(
        WaitUntil([&] { return Checked(IDC_SOURCE_VIDEO_2) && !Checked(IDC_SOURCE_CD); }, 2000));

    device->ClearRecord();
    Click(IDC_SOURCE_VIDEO_2);            // the checked one sends again
    Click(IDC_TRIGGER_1);                 // Trigger 1 only shows
    EXPECT_TRUE(Checked(IDC_TRIGGER_1));  // the simulated device has trigger 1 on
    Click(IDC_MUTE);                      // Mute
    Click(IDC_ZONE_MUTE);                 // Mute*: the same code
    Click(IDC_POWER_ON);                  // Power On
    EXPECT_EQ(SettledCommands(4), (std::vector<std::uint8_t>{0x0E, 0x07, 0x07, 0x06}));
}

TEST_F(WithDevice, ModeAndThxButtonsGoThroughTheWindowsCommands) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    device->ClearRecord();
    Click(IDC_THX_SURROUND_EX);  // THX Surr Ex from THX off: twice the THX key
    Click(IDC_MODE_BYPASS);      // Bypass
    EXPECT_EQ(SettledCommands(3), (std::vector<std::uint8_t>{0x1B, 0x1B, 0x2F}));
}

TEST_F(WithDevice, MultiSourceButtonsStepTheZoneRing) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    device->ChangeRegister(RS_ZONE_AUDIO_SOURCE, 3);
    ASSERT_TRUE(WaitUntil([&] { return Checked(IDC_ZONE_SOURCE_VIDEO_3); }, 2000));
    device->ClearRecord();
    Click(IDC_ZONE_SOURCE_VIDEO_1);  // Video 3 to Video 1
    EXPECT_EQ(SettledCommands(7), std::vector<std::uint8_t>(7, 0x8D));

    device->ChangeRegister(RS_ZONE_AUDIO_SOURCE, 3);
    ASSERT_TRUE(WaitUntil([&] { return Checked(IDC_ZONE_SOURCE_VIDEO_3); }, 2000));
    device->ClearRecord();
    Click(IDC_ZONE_SOURCE_VIDEO_3);  // already there
    Click(IDC_ZONE_SOURCE_TUNER);    // Video 3 to Tuner
    EXPECT_EQ(SettledCommands(6), std::vector<std::uint8_t>(6, 0x8D));

    device->ChangeRegister(RS_ZONE_AUDIO_SOURCE, 0);
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (int id = IDC_ZONE_SOURCE_VIDEO_1; id <= IDC_ZONE_SOURCE_TUNER; ++id) {
                if (Checked(id)) return false;
            }
            return true;
        },
        2000));
    device->ClearRecord();
    Click(IDC_ZONE_SOURCE_VIDEO_1);  // no known zone source: one step
    EXPECT_EQ(SettledCommands(1), std::vector<std::uint8_t>{0x8D});
}

TEST_F(WithDevice, UpDownsSendOnePerPressAndTheArrowKeysToo) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    device->ClearRecord();
    ClickArrow(IDC_VOLUME_SPIN, Qt::UpArrow);
    ClickArrow(IDC_VOLUME_SPIN, Qt::DownArrow);
    ClickArrow(IDC_SUBWOOFER_SPIN, Qt::UpArrow);
    ClickArrow(IDC_ZONE_VOLUME_SPIN, Qt::DownArrow);
    Control(IDC_TREBLE)->setFocus();
    QTest::keyClick(Control(IDC_TREBLE), Qt::Key_Up);  // treble up from its field
    EXPECT_EQ(SettledCommands(5), (std::vector<std::uint8_t>{0x31, 0x32, 0x61, 0x8C, 0x46}));
    EXPECT_EQ(Text(IDC_VOLUME), QString::number(window->Link().Mirror().Value(RS_VOLUME) - 100));
}

TEST_F(WithDevice, HiddenPanelIsNotReloadedUntilShown) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    panel->hide();
    device->ChangeRegister(RS_VOLUME, 70);
    ASSERT_TRUE(WaitUntil([&] { return window->Link().Mirror().Value(RS_VOLUME) == 70; }, 2000));
    EXPECT_EQ(Text(IDC_VOLUME), "-35");
    window->OnCommand(ID_CONTROL_PANEL);
    EXPECT_EQ(Text(IDC_VOLUME), "-30");
}

TEST_F(WithDevice, EnterAsksForEverythingButOnAFocusedCloseOnlyHides) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    device->ClearRecord();
    PressEnterOn(*panel, IDC_VOLUME);  // in a field: the default button, Refresh
    EXPECT_EQ(SettledCommands(1), std::vector<std::uint8_t>{0xE3});
    device->ClearRecord();
    PressEnterOn(*panel, IDC_CANCEL);  // Close has the focus: Enter presses Close
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(SettledCommands(0).empty());
    window->OnCommand(ID_CONTROL_PANEL);
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(WithDevice, EachRadioGroupIsOneTabStopAndItsArrowsSendItsCodes) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    ASSERT_TRUE(ShowActive(*panel));
    ASSERT_TRUE(Checked(IDC_SOURCE_CD) && Checked(IDC_THX_OFF));
    struct Row {
        int from;
        Qt::Key key;
        int to;
        std::vector<std::uint8_t> sent;
    };
    const Row rows[] = {
        {IDC_LATE_NIGHT, Qt::Key_Tab, IDC_SOURCE_CD, {}},  // the group's checked button
        {IDC_SOURCE_CD, Qt::Key_Tab, IDC_TAPE_MONITOR, {}},
        {IDC_SOURCE_VIDEO_2, Qt::Key_Backtab, IDC_LATE_NIGHT, {}},
        {IDC_MUTE, Qt::Key_Right, IDC_MUTE, {}},  // a check box is a group of its own
        {IDC_SOURCE_EXT_51, Qt::Key_Down, IDC_SOURCE_VIDEO_1, {0x0D}},  // round to Video 1
        {IDC_SOURCE_VIDEO_1, Qt::Key_Up, IDC_SOURCE_EXT_51, {0x64}},
        {IDC_THX_OFF, Qt::Key_Up, IDC_THX_SURROUND_EX, {0x1B, 0x1B}},  // THX Surr Ex, not Modes
    };
    for (const Row& row : rows) {
        device->ClearRecord();
        EXPECT_EQ(PressKeyOn(*panel, row.from, row.key), Control(row.to)) << row.from;
        if (row.sent.empty()) {
            EXPECT_TRUE(SettledCommands(0).empty()) << row.from;
            continue;
        }
        EXPECT_FALSE(Checked(row.to)) << row.from;  // the mark waits for the device's report
        EXPECT_EQ(SettledCommands(row.sent.size()), row.sent) << row.from;
        EXPECT_TRUE(WaitUntil([&] { return Checked(row.to); }, 2000)) << row.from;
    }
}

TEST_F(WithDevice, ActivationGivesTheFocusBackToTheCheckedButtonOfAGroup) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    panel->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return panel->isActiveWindow(); }, 2000));
    Control(IDC_THX_ON)->setFocus();  // THX On, while THX Off is the checked one
    window->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return !panel->isActiveWindow(); }, 2000));
    panel->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return panel->isActiveWindow(); }, 2000));
    EXPECT_TRUE(WaitUntil([&] { return Control(IDC_THX_OFF)->hasFocus(); }, 2000));

    // A control outside the radio groups simply gets the focus back.
    Control(IDC_LATE_NIGHT)->setFocus();  // Late Night
    window->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return !panel->isActiveWindow(); }, 2000));
    panel->activateWindow();
    EXPECT_TRUE(WaitUntil([&] { return Control(IDC_LATE_NIGHT)->hasFocus(); }, 2000));
}

// However the program ends, an open panel is stored open: the application's own close of every
// window as it quits (the panel's among them, in any order) is not the user closing the panel.
TEST_F(WithDevice, PanelPlaceAndVisibilitySurviveARestart) {
    const struct {
        const char* end;
        std::function<void(RemoteWindow&)> close;
    } kRows[] = {
        {"the window closed", [](RemoteWindow& w) { w.close(); }},
        {"the application closing every window as it quits, then storing again",
         [](RemoteWindow& w) {
             QApplication::closeAllWindows();
             w.SavePositions();  // as at aboutToQuit
         }},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.end);
        Start();
        window->OnCommand(ID_CONTROL_PANEL);
        panel->move(60, 200);
        row.close(*window);
        EXPECT_EQ(Stored().value("Position/control.visible").toInt(), 1);
        window.reset();
        Start();
        EXPECT_TRUE(panel->isVisible());
        EXPECT_EQ(panel->pos(), QPoint(60, 200));
        window.reset();
    }
}

TEST_F(WithDevice, ConfigureReconnectsOnOkAndEnterOnCancelKeepsTheLink) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    const QString port = Stored().value("Config/Port").toString();
    bool panelBlocked = false;
    SetModalHook([&](QDialog& dialog) {
        panelBlocked = PanelBlocked();
        EXPECT_EQ(dialog.windowTitle(), "Program Configuration");
        EXPECT_EQ(dialog.windowType(), Qt::Tool);
        ControlById<QRadioButton>(&dialog, IDC_PORT_COM3)->click();
        return PressEnterOn(dialog, IDC_CANCEL);
    });
    window->OnCommand(ID_CONFIGURE);
    EXPECT_TRUE(panelBlocked);
    EXPECT_EQ(Stored().value("Config/Port").toString(), port);  // nothing written
    EXPECT_TRUE(window->Link().IsOpen());
    EXPECT_TRUE(SettledCommands(0).empty());  // and no new connection

    // Enter in the Other field presses OK: the choice is stored and the link made anew.
    SetModalHook([&](QDialog& dialog) { return PressEnterOn(dialog, IDC_OTHER_PORT_NAME); });
    device->ClearRecord();
    window->OnCommand(ID_CONFIGURE);
    ASSERT_TRUE(WaitForOpen());
    EXPECT_EQ(SettledCommands(1), std::vector<std::uint8_t>{0xE3});
    EXPECT_TRUE(window->Link().IsOpen());
    EXPECT_TRUE(PanelResponds());
}

TEST_F(WithDevice, AboutBoxBlocksThePanelWhileOpen) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    bool panelBlocked = false;
    QStringList texts;
    SetModalHook([&](QDialog& dialog) {
        panelBlocked = PanelBlocked();
        for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
        EXPECT_EQ(dialog.windowTitle(), "About");
        return static_cast<int>(QDialog::Accepted);
    });
    window->OnCommand(ID_ABOUT);
    EXPECT_TRUE(panelBlocked);
    EXPECT_TRUE(PanelResponds());
    EXPECT_TRUE(texts.contains("ZEL R512 Control Software"));
    EXPECT_TRUE(texts.contains("v1.00"));
}

TEST_F(WithDevice, NamesCommandEditsTheDevicesMemory) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    bool blockedMeanwhile = false;
    NamesDialog::SetModalRun([&](NamesDialog& dialog) {
        blockedMeanwhile = WindowBlocked() && PanelBlocked();
        EXPECT_EQ(TextField(dialog, 0)->text(), "Video 1");
        TextField(dialog, 0)->setText("DVD");
        dialog.accept();
    });
    window->OnCommand(ID_NAMES);
    EXPECT_TRUE(blockedMeanwhile);
    EXPECT_TRUE(PanelResponds());
    const auto memory = device->NamesMemory();
    EXPECT_EQ(std::string(memory.begin() + 702, memory.begin() + 716), "DVD    Video 2");
    EXPECT_EQ(device->UploadsAccepted(), 1);
    EXPECT_TRUE(messages.empty());
}

TEST_F(WithDevice, FirstRunAsksForThePortOnceAndConnectsToIt) {
    ClearSettings();
    std::vector<int> messagesAtDialog;
    int dialogs = 0;
    SetModalHook([&](QDialog& dialog) {
        ++dialogs;
        messagesAtDialog = messages;
        auto& config = static_cast<ConfigDialog&>(dialog);
        EXPECT_FALSE(ControlById(&config, 2)->isEnabled());
        EXPECT_TRUE(ControlById(&config, 2)->isHidden());
        EXPECT_EQ(Stored().value("Config/Configured").toInt(), 1);  // written before it opened
        static_cast<QRadioButton*>(ControlById(&config, IDC_PORT_OTHER))->setChecked(true);
        static_cast<QLineEdit*>(ControlById(&config, IDC_OTHER_PORT_NAME))
            ->setText(QString::fromStdString(device->PortPath()));
        config.accept();
        return static_cast<int>(QDialog::Accepted);
    });
    window = std::make_unique<RemoteWindow>(profile);
    ASSERT_TRUE(window->Create());
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(messagesAtDialog, std::vector<int>{IDS_FIRST_RUN});
    ASSERT_TRUE(WaitForOpen());
    EXPECT_TRUE(window->Link().IsOpen());
    EXPECT_TRUE(WaitUntil([&] { return !window->Link().Mirror().AllPending(); }, 5000));
    window->close();
    window.reset();

    window = std::make_unique<RemoteWindow>(profile);
    ASSERT_TRUE(window->Create());
    EXPECT_EQ(dialogs, 1);  // the second start asks nothing
    ASSERT_TRUE(WaitForOpen());
    EXPECT_TRUE(window->Link().IsOpen());
}

class Configuration : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    static QRadioButton* Radio(ConfigDialog& d, int id) {
        return ControlById<QRadioButton>(&d, id);
    }
    static QLineEdit* Other(ConfigDialog& d) {
        return ControlById<QLineEdit>(&d, IDC_OTHER_PORT_NAME);
    }
    QtProfile profile;
};

TEST_F(Configuration, NoSettingsSelectCom1AtTheDefaultSpeed) {
    ConfigDialog dialog(profile);
    EXPECT_EQ(dialog.windowTitle(), "Program Configuration");
    EXPECT_TRUE(Radio(dialog, IDC_PORT_COM1)->isChecked());
    EXPECT_TRUE(Radio(dialog, IDC_SPEED_12000)->isChecked());
    EXPECT_FALSE(Other(dialog)->isEnabled());
    EXPECT_TRUE(Other(dialog)->text().isEmpty());
    EXPECT_TRUE(ControlById(&dialog, 2)->isEnabled());
}

TEST_F(Configuration, OtherNamesAndOddSpeeds) {
    for (const char* stored : {"COM7", "COM12", "com1"}) {
        Stored().setValue("Config/Port", stored);
        Stored().setValue("Config/Speed", 4800);
        Stored().sync();
        ConfigDialog dialog(profile);
        EXPECT_TRUE(Radio(dialog, IDC_PORT_OTHER)->isChecked()) << stored;
        EXPECT_EQ(Other(dialog)->text(), stored);
        EXPECT_TRUE(Other(dialog)->isEnabled());
        EXPECT_TRUE(Radio(dialog, IDC_SPEED_12000)->isChecked());  // shown as 12000
        dialog.accept();  // unchanged: stored again, with the speed as 12000
        Stored().sync();
        EXPECT_EQ(Stored().value("Config/Port").toString(), stored);
        EXPECT_EQ(Stored().value("Config/Speed").toInt(), 12000);
    }
}

TEST_F(Configuration, OkStoresTheChoiceAndCancelNothing) {
    {
        ConfigDialog dialog(profile);
        dialog.reject();
    }
    Stored().sync();
    EXPECT_FALSE(Stored().contains("Config/Port"));
    EXPECT_FALSE(Stored().contains("Config/Speed"));
    {
        ConfigDialog dialog(profile);
        dialog.accept();  // nothing changed: both keys written all the same
    }
    Stored().sync();
    EXPECT_EQ(Stored().value("Config/Port").toString(), "COM1");
    EXPECT_EQ(Stored().value("Config/Speed").toInt(), 12000);
    {
        ConfigDialog dialog(profile);
        Radio(dialog, IDC_PORT_OTHER)->setChecked(true);
        EXPECT_TRUE(Other(dialog)->isEnabled());
        Other(dialog)->setText("  /dev/ttyUSB0   ");  // device paths keep their letter case
        Radio(dialog, IDC_SPEED_9600)->setChecked(true);
        dialog.accept();
    }
    Stored().sync();
    EXPECT_EQ(Stored().value("Config/Port").toString(), "  /dev/ttyUSB0");
    EXPECT_EQ(Stored().value("Config/Speed").toInt(), 9600);
    {
        ConfigDialog dialog(profile);
        Radio(dialog, IDC_PORT_COM3)->setChecked(true);
        EXPECT_FALSE(Other(dialog)->isEnabled());
        EXPECT_EQ(Other(dialog)->text(), "  /dev/ttyUSB0");  // kept while disabled
        dialog.accept();
    }
    Stored().sync();
    EXPECT_EQ(Stored().value("Config/Port").toString(), "COM3");
}

TEST_F(Configuration, ArrowsCheckWithinAGroupAndTabStopsAtItsCheckedButton) {
    Stored().setValue("Config/Port", "COM3");
    Stored().sync();
    ConfigDialog dialog(profile);
    ASSERT_TRUE(ShowActive(dialog));
    EXPECT_EQ(QApplication::focusWidget(), Radio(dialog, IDC_PORT_COM3));  // the first Tab stop
    struct Row {
        int from;
        Qt::Key key;
        int to;
        int checked;
    };
    const Row rows[] = {
        {IDC_PORT_COM3, Qt::Key_Down, IDC_PORT_COM4, IDC_PORT_COM4},
        {IDC_PORT_COM1, Qt::Key_Up, IDC_PORT_OTHER, IDC_PORT_OTHER},  // round the group
        {IDC_PORT_OTHER, Qt::Key_Tab, IDC_OTHER_PORT_NAME, IDC_PORT_OTHER},
        {IDC_OTHER_PORT_NAME, Qt::Key_Tab, IDC_SPEED_12000, IDC_SPEED_12000},
        {IDC_SPEED_12000, Qt::Key_Right, IDC_SPEED_9600, IDC_SPEED_9600},
        {IDC_SPEED_9600, Qt::Key_Down, IDC_SPEED_12000, IDC_SPEED_12000},  // not to OK
        {IDC_SPEED_12000, Qt::Key_Backtab, IDC_OTHER_PORT_NAME, IDC_SPEED_12000},
        {IDC_PORT_COM2, Qt::Key_Backtab, IDC_CANCEL, IDC_PORT_OTHER},  // COM1 is no Tab stop
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PressKeyOn(dialog, row.from, row.key), ControlById(&dialog, row.to)) << row.from;
        EXPECT_TRUE(Radio(dialog, row.checked)->isChecked()) << row.from;
    }
}

}  // namespace
}  // namespace r512::test
