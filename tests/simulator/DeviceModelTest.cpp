// The simulated device's reactions, which the end-to-end tests and the demo rely on.
#include <gtest/gtest.h>

#include "simulator/DeviceModel.h"

namespace r512::sim {
namespace {

using Codes = std::vector<std::uint8_t>;

TEST(DeviceModel, RefreshReportsAllRegistersInCodeOrder) {
    DeviceModel model;
    const Codes codes = model.Apply(cmd::kRefresh);
    ASSERT_EQ(codes.size(), 26u);
    for (int i = 0; i < 26; ++i) EXPECT_EQ(codes[static_cast<std::size_t>(i)], 0xE1 + i);
}

TEST(DeviceModel, KeysChangeWhatTheyShould) {
    DeviceModel model;
    const std::uint8_t volume = model.Register(RS_VOLUME);
    EXPECT_EQ(model.Apply(cmd::kKnobUp), Codes{RS_VOLUME});
    EXPECT_EQ(model.Register(RS_VOLUME), volume + 1);
    EXPECT_EQ(model.Apply(cmd::kBassDown), Codes{RS_BASS});
    EXPECT_EQ(model.Register(RS_BASS), 11);
    EXPECT_EQ(model.Apply(cmd::kTuner), (Codes{RS_AUDIO_SOURCE}));
    EXPECT_EQ(model.Register(RS_AUDIO_SOURCE), 9);
    EXPECT_EQ(model.Apply(cmd::kTuner), Codes{});  // nothing changed, nothing reported
    EXPECT_EQ(model.Apply(cmd::kDelayKey), Codes{});
}

TEST(DeviceModel, EachKeyActsOnItsOwnRegisters) {
    struct Case {
        std::uint8_t command;
        Codes changed;
        Codes values;  // of the changed registers, in the same order
    };
    // From the device as it is switched on: CD (video 7), stereo, levels at 12, volumes 65/70.
    const Case cases[] = {
        {cmd::kVideo4, {RS_AUDIO_SOURCE, RS_VIDEO_SOURCE}, {4, 4}},
        {cmd::kAux, {RS_AUDIO_SOURCE}, {8}},  // the video source stays
        {cmd::kExt51, {RS_AUDIO_SOURCE}, {kSourceExt51}},
        {cmd::kMuteToggle, {RS_MUTE}, {1}},
        {cmd::kLateNightToggle, {RS_COMPRESSION}, {1}},
        {cmd::kBrightness, {RS_DIMMER}, {1}},
        {cmd::kTapeMonitorOn, {RS_TAPEMONITOR}, {1}},
        {cmd::kTapeMonitorPanel, {RS_TAPEMONITOR}, {1}},
        {cmd::kTapeMonitorOff, {}, {}},
        {cmd::kEars, {RS_STEREO_MODE}, {10}},
        {cmd::kBypass, {RS_STEREO_MODE}, {15}},
        {cmd::kModeKey, {RS_STEREO_MODE}, {1}},  // stereo -> Pro Logic
        {cmd::kSubwooferUp, {RS_SUBWOOFER}, {13}},
        {cmd::kCenterDown, {RS_CENTER}, {11}},
        {cmd::kSurroundUp, {RS_SURROUND}, {13}},
        {cmd::kTrebleUp, {RS_TREBLE}, {13}},
        {cmd::kZoneVolumeDown, {RS_ZONE_VOLUME}, {69}},
        {cmd::kVolumeUp, {RS_VOLUME}, {66}},
        {cmd::kWakeUp, {}, {}},
    };
    for (const Case& c : cases) {
        DeviceModel model;
        EXPECT_EQ(model.Apply(c.command), c.changed) << CommandName(c.command);
        Codes values;
        for (std::uint8_t code : c.changed) values.push_back(model.Register(code));
        EXPECT_EQ(values, c.values) << CommandName(c.command);
    }
}

TEST(DeviceModel, ZoneSourceStepsThroughTheNineSourcesInACycle) {
    DeviceModel model;
    model.SetRegister(RS_ZONE_AUDIO_SOURCE, 8);
    model.Apply(cmd::kZoneSourceNext);
    EXPECT_EQ(model.Register(RS_ZONE_AUDIO_SOURCE), 9);
    model.Apply(cmd::kZoneSourceNext);
    EXPECT_EQ(model.Register(RS_ZONE_AUDIO_SOURCE), 1);
}

TEST(DeviceModel, ThxKeyAndModeKey) {
    DeviceModel model;
    model.Apply(cmd::kThxKey);
    EXPECT_EQ(model.Register(RS_THX), 1);
    model.Apply(cmd::kThxKey);
    EXPECT_EQ(model.Register(RS_THX), 2);
    model.Apply(cmd::kThxKey);
    EXPECT_EQ(model.Register(RS_THX), 1);
    model.Apply(cmd::kModeKey);
    EXPECT_EQ(model.Register(RS_THX), 0);
}

TEST(DeviceModel, LevelsStopAtTheirLimits) {
    DeviceModel model;
    for (int i = 0; i < 40; ++i) model.Apply(cmd::kTrebleUp);
    EXPECT_EQ(model.Register(RS_TREBLE), 24);
    for (int i = 0; i < 200; ++i) model.Apply(cmd::kVolumeDown);
    EXPECT_EQ(model.Register(RS_VOLUME), 10);  // -90
}

TEST(DeviceModel, StandbyTakesOnlyThePowerKeys) {
    DeviceModel model;
    EXPECT_EQ(model.Apply(cmd::kStandby), Codes{RS_OPER_MODE});
    EXPECT_EQ(model.Apply(cmd::kVolumeUp), Codes{});
    EXPECT_EQ(model.Apply(cmd::kPowerToggle), Codes{RS_OPER_MODE});
    EXPECT_EQ(model.Register(RS_OPER_MODE), 1);
}

TEST(DeviceModel, NamesMemoryHoldsTheFactoryTextsAndOnlyValidBytesWhereChecked) {
    DeviceModel model;
    const auto& names = model.Names();
    EXPECT_EQ(std::string(names.begin() + 702, names.begin() + 709), "Video 1");
    EXPECT_EQ(std::string(names.begin() + 744, names.begin() + 751), "CD     ");
    EXPECT_EQ(std::string(names.begin() + 400, names.begin() + 420), "   ZEL R-512        ");
    for (int i = 702; i < 814; ++i) EXPECT_TRUE(names[i] >= 0x14 && names[i] <= 0x7F) << i;
    for (int i = 400; i < 480; ++i) EXPECT_TRUE(names[i] >= 0x14 && names[i] <= 0x7F) << i;
}

}  // namespace
}  // namespace r512::sim
