// What the Control Panel shows and sends, and the configuration dialog's choices, without Qt.
#include <gtest/gtest.h>

#include "device/Protocol.h"
#include "ui/ControlPanelButtons.h"
#include "ui/ControlPanelModel.h"
#include "ui/PortChoice.h"
#include "ui/ResourceIds.h"

namespace r512 {
namespace {

TEST(ControlPanelModel, LoadsSignedLevelsAndIndexes) {
    RegisterMirror mirror;
    mirror[RS_VOLUME].value = 60;
    mirror[RS_BASS].value = 15;
    mirror[RS_TREBLE].value = 0;
    mirror[RS_ZONE_VOLUME].value = 100;
    mirror[RS_AUDIO_SOURCE].value = 64;
    mirror[RS_STEREO_MODE].value = 2;
    mirror[RS_SIGNAL_TYPE].value = 9;
    mirror[RS_TV_SYSTEM].value = 2;
    ControlPanelModel model;
    model.Load(mirror);
    EXPECT_EQ(model.volume, -40);
    EXPECT_EQ(model.bass, 3);
    EXPECT_EQ(model.treble, -12);
    EXPECT_EQ(model.zoneVolume, 0);
    EXPECT_EQ(model.sourceIndex, 9);  // Ext 5.1
    EXPECT_EQ(model.modeIndex, -1);   // no button for mode 2
    EXPECT_EQ(model.zoneSourceIndex, -1);
    EXPECT_EQ(model.thxIndex, 0);
    EXPECT_EQ(model.audioFormat, "Type 9");
    EXPECT_EQ(model.videoFormat, "NTSC");
    EXPECT_EQ(model.audioInput, "Analog");
    EXPECT_EQ(model.videoInput, "Unknown/No Input Signal");
}

TEST(ControlPanelModel, IndexTables) {
    const int modes[16] = {0, 5, -1, -1, -1, -1, -1, 2, -1, 6, 4, -1, 1, -1, -1, 3};
    for (int v = 0; v < 16; ++v)
        EXPECT_EQ(ControlPanelModel::ModeIndex(static_cast<std::uint8_t>(v)), modes[v]) << v;
    EXPECT_EQ(ControlPanelModel::SourceIndex(0), -1);
    EXPECT_EQ(ControlPanelModel::SourceIndex(1), 0);
    EXPECT_EQ(ControlPanelModel::SourceIndex(9), 8);
    EXPECT_EQ(ControlPanelModel::SourceIndex(10), -1);
    EXPECT_EQ(ControlPanelModel::ZoneSourceIndex(64), -1);
    EXPECT_EQ(ControlPanelModel::ZoneSourceIndex(9), 8);
    EXPECT_EQ(ControlPanelModel::ThxIndex(2), 2);
    EXPECT_EQ(ControlPanelModel::ThxIndex(3), -1);
}

TEST(ControlPanelModel, ZoneStepsAroundTheRing) {
    EXPECT_EQ(ZoneStepsFromPanel(2, 0), 7);   // Video 3 to Video 1
    EXPECT_EQ(ZoneStepsFromPanel(2, 2), 0);   // already there
    EXPECT_EQ(ZoneStepsFromPanel(2, 8), 6);   // Video 3 to Tuner
    EXPECT_EQ(ZoneStepsFromPanel(-1, 0), 1);  // unknown: Video 1 is one step
    EXPECT_EQ(ZoneStepsFromPanel(-1, 8), 9);
}

TEST(ControlPanelModel, UpDownSignChoosesTheCode) {
    const int table[][3] = {{IDC_VOLUME_SPIN, 0x31, 0x32},   {IDC_ZONE_VOLUME_SPIN, 0x8B, 0x8C},
                            {IDC_TREBLE_SPIN, 0x46, 0x47},   {IDC_BASS_SPIN, 0x44, 0x45},
                            {IDC_CENTER_SPIN, 0x81, 0x82},   {IDC_SURROUND_SPIN, 0x83, 0x84},
                            {IDC_SUBWOOFER_SPIN, 0x61, 0x62}};
    for (const auto& row : table) {
        EXPECT_EQ(UpDownCode(row[0], -1), row[1]) << row[0];  // up arrow: raise
        EXPECT_EQ(UpDownCode(row[0], -5), row[1]);
        EXPECT_EQ(UpDownCode(row[0], +1), row[2]);
        EXPECT_EQ(UpDownCode(row[0], 0), -1);
    }
    EXPECT_EQ(UpDownCode(IDC_VOLUME, -1), -1);
}

TEST(PortChoice, FromTheStoredSettings) {
    PortChoice c = PortChoice::FromSettings("COM1", 12000);
    EXPECT_EQ(c.port, 0);
    EXPECT_EQ(c.speed, 0);
    EXPECT_TRUE(c.otherName.empty());
    EXPECT_EQ(PortChoice::FromSettings("COM4", 9600).port, 3);
    EXPECT_EQ(PortChoice::FromSettings("COM4", 9600).speed, 1);
    for (const char* other : {"COM7", "COM12", "com1", "COM0", "COM5", "", "/dev/ttyUSB0"}) {
        c = PortChoice::FromSettings(other, 12000);
        EXPECT_EQ(c.port, 4) << other;
        EXPECT_EQ(c.otherName, other);
    }
    for (int speed : {0, 12000, 115200, 9601, -1})
        EXPECT_EQ(PortChoice::FromSettings("", speed).speed, 0);
}

TEST(PortChoice, ToTheStoredSettings) {
    PortChoice c;
    c.port = 2;
    c.otherName = "ignored";
    EXPECT_EQ(c.PortName(), "COM3");
    c.port = 4;
    c.otherName = "  /dev/ttyUSB1 \t ";
    EXPECT_EQ(c.PortName(), "  /dev/ttyUSB1");  // trailing blanks go, leading ones stay
    c.otherName = "";
    EXPECT_EQ(c.PortName(), "");
    c.speed = 1;
    EXPECT_EQ(c.Speed(), 9600);
    c.speed = 0;
    EXPECT_EQ(c.Speed(), 12000);
}

}  // namespace
}  // namespace r512

namespace r512 {
namespace {

TEST(ControlPanelButtons, EachButtonsAction) {
    using Kind = PanelButtonAction::Kind;
    struct Row {
        int id;
        Kind kind;
        int value;
    };
    const Row rows[] = {
        {IDC_REFRESH, Kind::Post, 32809},
        {IDC_MUTE, Kind::Send, 7},
        {IDC_ZONE_MUTE, Kind::Send, 7},
        {IDC_LATE_NIGHT, Kind::Send, 12},
        {IDC_TAPE_MONITOR, Kind::Send, 31},
        {IDC_POWER_ON, Kind::Send, 6},
        {IDC_DIMMER, Kind::Send, 121},
        {IDC_TRIGGER_1, Kind::None, 0},
        {IDC_TRIGGER_2, Kind::None, 0},
        {IDC_SOURCE_VIDEO_1, Kind::Send, 13},
        {IDC_SOURCE_VIDEO_6, Kind::Send, 18},
        {IDC_SOURCE_CD, Kind::Send, 19},
        {IDC_SOURCE_AUX, Kind::Send, 20},
        {IDC_SOURCE_TUNER, Kind::Send, 72},
        {IDC_SOURCE_EXT_51, Kind::Send, 100},
        {IDC_MODE_STEREO_DIRECT, Kind::Post, 32798},
        {IDC_MODE_STEREO_DOWNMIX, Kind::Post, 32810},
        {IDC_MODE_MONO_DOWNMIX, Kind::Post, 32811},
        {IDC_MODE_BYPASS, Kind::Post, 32812},
        {IDC_MODE_EARS, Kind::Post, 32813},
        {IDC_MODE_PROLOGIC, Kind::Post, 32814},
        {IDC_MODE_SURROUND_61, Kind::Post, 32815},
        {IDC_THX_OFF, Kind::Post, 32816},
        {IDC_THX_ON, Kind::Post, 32817},
        {IDC_THX_SURROUND_EX, Kind::Post, 32818},
        {IDC_ZONE_SOURCE_VIDEO_1, Kind::ZoneStep, 0},
        {IDC_ZONE_SOURCE_TUNER, Kind::ZoneStep, 8},
        {IDC_VOLUME, Kind::None, 0},
        {IDC_CANCEL, Kind::None, 0},
    };
    for (const Row& row : rows) {
        const PanelButtonAction action = PanelButton(row.id);
        EXPECT_EQ(action.kind, row.kind) << row.id;
        EXPECT_EQ(action.value, row.value) << row.id;
    }
}

}  // namespace
}  // namespace r512
