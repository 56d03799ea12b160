// The Control Panel, the configuration dialog with the first run, and the About box, with the
// real link, the simulated device and the real settings layer.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

#include "base/Messages.h"
#include "qt/QtProfile.h"
#include "qt/AboutDialog.h"
#include "qt/ConfigDialog.h"
#include "qt/ControlPanelDialog.h"
#include "qt/ModalRun.h"
#include "qt/NamesDialog.h"
#include "qt/GuiTestSupport.h"
#include "simulator/Simulator.h"
#include "ui/CommandSet.h"
#include "qt/RemoteWindow.h"

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
        // Every register reported, so that the panel has the whole device to show.
        ASSERT_TRUE(WaitUntil([&] {
            return window->Link().Mirror().State(RS_THX) != RegisterState::Pending;
        }, 5000));
        panel = window->ControlPanel();
        ASSERT_NE(panel, nullptr);
    }
    QString Text(int id) { return static_cast<QLineEdit*>(panel->Control(id))->text(); }
    bool Checked(int id) { return static_cast<QAbstractButton*>(panel->Control(id))->isChecked(); }
    void Click(int id) { QTest::mouseClick(panel->Control(id), Qt::LeftButton); }

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
    EXPECT_EQ(Text(1013), "-35");
    EXPECT_TRUE(Checked(1044));  // CD

    device->ChangeRegister(RS_VOLUME, 60);
    device->ChangeRegister(RS_BASS, 15);
    device->ChangeRegister(RS_TREBLE, 0);
    device->ChangeRegister(RS_AUDIO_SOURCE, 64);
    device->ChangeRegister(RS_STEREO_MODE, 2);
    device->ChangeRegister(RS_TV_SYSTEM, 2);
    ASSERT_TRUE(WaitUntil([&] { return Text(1077) == "NTSC"; }, 3000));
    EXPECT_EQ(Text(1013), "-40");
    EXPECT_EQ(Text(1015), "3");
    EXPECT_EQ(Text(1016), "-12");
    EXPECT_TRUE(Checked(1047));  // Ext 5.1
    EXPECT_FALSE(Checked(1044));
    for (int id : {1048, 1063, 1049, 1051, 1052, 1050, 1062}) EXPECT_FALSE(Checked(id)) << id;
    EXPECT_EQ(Text(1075), "Digital PCM");
    EXPECT_EQ(Text(1074), "Coaxial");
    EXPECT_EQ(Text(1076), "Composite");
}

TEST_F(WithDevice, ClicksSendCommandsButOnlyReportsMoveTheMarks) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    device->ClearRecord();
    Click(1039);  // Video 2, not the current source
    EXPECT_FALSE(Checked(1039));  // not until the device says so
    EXPECT_TRUE(Checked(1044));
    EXPECT_EQ(SettledCommands(1), std::vector<std::uint8_t>{0x0E});
    EXPECT_TRUE(WaitUntil([&] { return Checked(1039) && !Checked(1044); }, 2000));

    device->ClearRecord();
    Click(1039);  // the checked one sends again
    Click(1021);  // Trigger 1 only shows
    EXPECT_TRUE(Checked(1021));  // the simulated device has trigger 1 on
    Click(1014);  // Mute
    Click(1027);  // Mute*: the same code
    Click(1017);  // Power On
    EXPECT_EQ(SettledCommands(4), (std::vector<std::uint8_t>{0x0E, 0x07, 0x07, 0x06}));
}

TEST_F(WithDevice, ModeAndThxButtonsGoThroughTheWindowsCommands) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    device->ClearRecord();
    Click(1073);  // THX Surr Ex from THX off: twice the THX key
    Click(1051);  // Bypass
    EXPECT_EQ(SettledCommands(3), (std::vector<std::uint8_t>{0x1B, 0x1B, 0x2F}));
}

TEST_F(WithDevice, MultiSourceButtonsStepTheZoneRing) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    device->ChangeRegister(RS_ZONE_AUDIO_SOURCE, 3);
    ASSERT_TRUE(WaitUntil([&] { return Checked(1055); }, 2000));
    device->ClearRecord();
    Click(1053);  // Video 3 to Video 1
    EXPECT_EQ(SettledCommands(7), std::vector<std::uint8_t>(7, 0x8D));

    device->ChangeRegister(RS_ZONE_AUDIO_SOURCE, 3);
    ASSERT_TRUE(WaitUntil([&] { return Checked(1055); }, 2000));
    device->ClearRecord();
    Click(1055);  // already there
    Click(1061);  // Video 3 to Tuner
    EXPECT_EQ(SettledCommands(6), std::vector<std::uint8_t>(6, 0x8D));

    device->ChangeRegister(RS_ZONE_AUDIO_SOURCE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !Checked(1061) && panel->Model().zoneSourceIndex == -1; },
                          2000));
    device->ClearRecord();
    Click(1053);  // no known zone source: one step
    EXPECT_EQ(SettledCommands(1), std::vector<std::uint8_t>{0x8D});
}

TEST_F(WithDevice, UpDownsSendOnePerPressAndTheArrowKeysToo) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    device->ClearRecord();
    panel->StepUpDown(1028, -1);  // volume up arrow
    panel->StepUpDown(1028, +1);
    panel->StepUpDown(1034, -1);  // subwoofer up
    panel->StepUpDown(1029, +1);  // zone volume down
    panel->Control(1016)->setFocus();
    QTest::keyClick(panel->Control(1016), Qt::Key_Up);  // treble up from its field
    EXPECT_EQ(SettledCommands(5), (std::vector<std::uint8_t>{0x31, 0x32, 0x61, 0x8C, 0x46}));
    EXPECT_EQ(Text(1013), QString::number(window->Link().Mirror().Value(RS_VOLUME) - 100));
}

TEST_F(WithDevice, HiddenPanelIsNotReloadedUntilShown) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    panel->hide();
    device->ChangeRegister(RS_VOLUME, 70);
    ASSERT_TRUE(WaitUntil([&] { return window->Link().Mirror().Value(RS_VOLUME) == 70; }, 2000));
    EXPECT_EQ(Text(1013), "-35");
    window->OnCommand(ID_CONTROL_PANEL);
    EXPECT_EQ(Text(1013), "-30");
}

TEST_F(WithDevice, EnterAsksForEverythingAndCloseOnlyHides) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    panel->activateWindow();
    panel->Control(1013)->setFocus();
    device->ClearRecord();
    QTest::keyClick(panel->Control(1013), Qt::Key_Return);
    EXPECT_EQ(SettledCommands(1), std::vector<std::uint8_t>{0xE3});
    Click(2);
    EXPECT_FALSE(panel->isVisible());
    window->OnCommand(ID_CONTROL_PANEL);
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(WithDevice, ActivationGivesTheFocusBackToTheCheckedButtonOfAGroup) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    panel->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return panel->isActiveWindow(); }, 2000));
    panel->Control(1072)->setFocus();  // THX On, while THX Off is the checked one
    window->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return !panel->isActiveWindow(); }, 2000));
    panel->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return panel->isActiveWindow(); }, 2000));
    EXPECT_TRUE(WaitUntil([&] { return panel->Control(1071)->hasFocus(); }, 2000));

    // A control outside the radio groups simply gets the focus back.
    panel->Control(1020)->setFocus();  // Late Night
    window->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return !panel->isActiveWindow(); }, 2000));
    panel->activateWindow();
    EXPECT_TRUE(WaitUntil([&] { return panel->Control(1020)->hasFocus(); }, 2000));
}

TEST_F(WithDevice, PanelPlaceAndVisibilitySurviveARestart) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    panel->move(120, 300);
    window->close();
    EXPECT_EQ(Stored().value("Position/control.visible").toInt(), 1);
    window.reset();
    Start();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->pos(), QPoint(120, 300));
}

TEST_F(WithDevice, ConfigureReconnectsOnOkAndKeepsTheLinkOnCancel) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    bool panelDisabled = false;
    SetModalHook([&](QDialog& dialog) {
        panelDisabled = !panel->isEnabled();
        EXPECT_EQ(dialog.windowTitle(), "Program Configuration");
        return static_cast<int>(QDialog::Rejected);
    });
    device->ClearRecord();
    window->OnCommand(ID_CONFIGURE);
    EXPECT_TRUE(panelDisabled);
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(window->Link().IsOpen());
    EXPECT_TRUE(SettledCommands(0).empty());

    SetModalHook([&](QDialog& dialog) {
        dialog.accept();  // stores the settings as they are
        return static_cast<int>(QDialog::Accepted);
    });
    window->OnCommand(ID_CONFIGURE);
    EXPECT_EQ(SettledCommands(1), std::vector<std::uint8_t>{0xE3});  // a fresh connection
    EXPECT_TRUE(window->Link().IsOpen());
}

TEST_F(WithDevice, AboutBoxDisablesThePanelWhileOpen) {
    Start();
    bool panelDisabled = false;
    QStringList texts;
    SetModalHook([&](QDialog& dialog) {
        panelDisabled = !panel->isEnabled();
        for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
        EXPECT_EQ(dialog.windowTitle(), "About");
        return static_cast<int>(QDialog::Accepted);
    });
    window->OnCommand(ID_ABOUT);
    EXPECT_TRUE(panelDisabled);
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(texts.contains("ZEL R512 Control Software"));
    EXPECT_TRUE(texts.contains("v1.00"));
}

TEST_F(WithDevice, NamesCommandEditsTheDevicesMemory) {
    Start();
    window->OnCommand(ID_CONTROL_PANEL);
    bool disabledMeanwhile = false;
    NamesDialog::SetModalRun([&](NamesDialog& dialog) {
        disabledMeanwhile = !window->isEnabled() && !panel->isEnabled();
        EXPECT_EQ(dialog.Field(0)->text(), "Video 1");
        dialog.Field(0)->setText("DVD");
        dialog.accept();
    });
    window->OnCommand(ID_NAMES);
    EXPECT_TRUE(disabledMeanwhile);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(panel->isEnabled());
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
        EXPECT_FALSE(config.Control(2)->isEnabled());
        EXPECT_TRUE(config.Control(2)->isHidden());
        EXPECT_EQ(Stored().value("Config/Configured").toInt(), 1);  // written before it opened
        static_cast<QRadioButton*>(config.Control(1009))->setChecked(true);
        static_cast<QLineEdit*>(config.Control(1010))
            ->setText(QString::fromStdString(device->PortPath()));
        config.accept();
        return static_cast<int>(QDialog::Accepted);
    });
    window = std::make_unique<RemoteWindow>(profile);
    ASSERT_TRUE(window->Create());
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(messagesAtDialog, std::vector<int>{1040});
    EXPECT_TRUE(window->Link().IsOpen());
    EXPECT_TRUE(WaitUntil([&] { return !window->Link().Mirror().AllPending(); }, 5000));
    window->close();
    window.reset();

    window = std::make_unique<RemoteWindow>(profile);
    ASSERT_TRUE(window->Create());
    EXPECT_EQ(dialogs, 1);  // the second start asks nothing
    EXPECT_TRUE(window->Link().IsOpen());
}

class Configuration : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    static QRadioButton* Radio(ConfigDialog& d, int id) {
        return static_cast<QRadioButton*>(d.Control(id));
    }
    static QLineEdit* Other(ConfigDialog& d) { return static_cast<QLineEdit*>(d.Control(1010)); }
    QtProfile profile;
};

TEST_F(Configuration, NoSettingsSelectCom1AtTheDefaultSpeed) {
    ConfigDialog dialog(profile);
    EXPECT_EQ(dialog.windowTitle(), "Program Configuration");
    EXPECT_TRUE(Radio(dialog, 1005)->isChecked());
    EXPECT_TRUE(Radio(dialog, 1011)->isChecked());
    EXPECT_FALSE(Other(dialog)->isEnabled());
    EXPECT_TRUE(Other(dialog)->text().isEmpty());
    EXPECT_TRUE(dialog.Control(2)->isEnabled());
}

TEST_F(Configuration, OtherNamesAndOddSpeeds) {
    for (const char* stored : {"COM7", "COM12", "com1"}) {
        Stored().setValue("Config/Port", stored);
        Stored().setValue("Config/Speed", 4800);
        Stored().sync();
        ConfigDialog dialog(profile);
        EXPECT_TRUE(Radio(dialog, 1009)->isChecked()) << stored;
        EXPECT_EQ(Other(dialog)->text(), stored);
        EXPECT_TRUE(Other(dialog)->isEnabled());
        EXPECT_TRUE(Radio(dialog, 1011)->isChecked());  // shown as 12000
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
        Radio(dialog, 1009)->setChecked(true);
        EXPECT_TRUE(Other(dialog)->isEnabled());
        Other(dialog)->setText("  /dev/ttyUSB0   ");  // device paths keep their letter case
        Radio(dialog, 1012)->setChecked(true);
        dialog.accept();
    }
    Stored().sync();
    EXPECT_EQ(Stored().value("Config/Port").toString(), "  /dev/ttyUSB0");
    EXPECT_EQ(Stored().value("Config/Speed").toInt(), 9600);
    {
        ConfigDialog dialog(profile);
        Radio(dialog, 1007)->setChecked(true);
        EXPECT_FALSE(Other(dialog)->isEnabled());
        EXPECT_EQ(Other(dialog)->text(), "  /dev/ttyUSB0");  // kept while disabled
        dialog.accept();
    }
    Stored().sync();
    EXPECT_EQ(Stored().value("Config/Port").toString(), "COM3");
}

}  // namespace
}  // namespace r512::test
