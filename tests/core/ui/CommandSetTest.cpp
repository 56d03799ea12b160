// Every command identifier and the codes it sends.
#include <gtest/gtest.h>

#include <map>

#include "device/Protocol.h"
#include "ui/CommandSet.h"
#include "ui/MenuTable.h"
#include "ui/ResourceIds.h"

namespace r512 {
namespace {

using Codes = std::vector<std::uint8_t>;
using Kind = CommandAction::Kind;

Codes Send(int id, const RegisterMirror& mirror = {}) {
    const CommandAction action = DecideCommand(id, mirror);
    EXPECT_EQ(action.kind, Kind::Device) << id;
    return action.codes;
}

TEST(CommandSet, FixedCodes) {
    const std::map<int, std::uint8_t> table = {
        {ID_POWER_WAKE_UP, 0x23},     {ID_POWER_STANDBY, 0x22},
        {ID_POWER_TOGGLE, 0x06},      {ID_VIDEO_1, 0x0D},
        {ID_VIDEO_2, 0x0E},           {ID_VIDEO_3, 0x0F},
        {ID_VIDEO_4, 0x10},           {ID_VIDEO_5, 0x11},
        {ID_VIDEO_6, 0x12},           {ID_AUDIO_CD, 0x13},
        {ID_AUDIO_AUX, 0x14},         {ID_AUDIO_TUNER, 0x48},
        {ID_TAPE_ON, 0x28},           {ID_TAPE_OFF, 0x27},
        {ID_TAPE_TOGGLE, 0x1A},       {ID_MODE_STEREO_DOWNMIX, 0x2B},
        {ID_MODE_MONO_DOWNMIX, 0x2A}, {ID_MODE_BYPASS, 0x2F},
        {ID_MODE_EARS, 0x2E},         {ID_MODE_PROLOGIC, 0x2C},
        {ID_MODE_SURROUND_61, 0x2D},  {IDC_TREBLE_UP, 0x46},
        {IDC_TREBLE_DOWN, 0x47},      {IDC_BASS_UP, 0x44},
        {IDC_BASS_DOWN, 0x45},        {IDC_SUBWOOFER_UP, 0x61},
        {IDC_SUBWOOFER_DOWN, 0x62},   {IDC_CENTER_UP, 0x81},
        {IDC_CENTER_DOWN, 0x82},      {IDC_SURROUND_UP, 0x83},
        {IDC_SURROUND_DOWN, 0x84},
    };
    for (const auto& [id, code] : table) EXPECT_EQ(Send(id), Codes{code}) << id;
}

TEST(CommandSet, StereoDirectFollowsTheSignalType) {
    for (std::uint8_t signal = 0; signal <= 8; ++signal) {
        RegisterMirror mirror;
        mirror[RS_SIGNAL_TYPE].value = signal;
        const std::uint8_t expected = signal == 3 || signal == 4 ? 0x2F : 0x2B;
        EXPECT_EQ(Send(ID_MODE_STEREO_DIRECT, mirror), Codes{expected}) << int(signal);
    }
}

TEST(CommandSet, ThxCommandsFollowTheThxRegister) {
    struct Case {
        int id;
        std::uint8_t thx;
        Codes codes;
    };
    const Case cases[] = {
        {ID_THX_OFF, 0, {}},
        {ID_THX_OFF, 1, {0x77}},
        {ID_THX_OFF, 2, {0x77}},
        {ID_THX_ON, 0, {0x1B}},
        {ID_THX_ON, 1, {}},
        {ID_THX_ON, 2, {0x1B}},
        {ID_THX_SURROUND_EX, 0, {0x1B, 0x1B}},
        {ID_THX_SURROUND_EX, 1, {0x1B}},
        {ID_THX_SURROUND_EX, 2, {}},
        {ID_THX_SURROUND_EX, 7, {}},
    };
    for (const Case& c : cases) {
        RegisterMirror mirror;
        mirror[RS_THX] = {c.thx, RegisterState::Pending};  // a stale value decides all the same
        EXPECT_EQ(Send(c.id, mirror), c.codes) << c.id << " with THX " << int(c.thx);
    }
}

TEST(CommandSet, MultiSourceStepsAroundTheCycle) {
    auto steps = [](int id, std::uint8_t zone) {
        RegisterMirror mirror;
        mirror[RS_ZONE_AUDIO_SOURCE].value = zone;
        const Codes codes = Send(id, mirror);
        for (std::uint8_t code : codes) EXPECT_EQ(code, 0x8D);
        return codes.size();
    };
    EXPECT_EQ(steps(ID_ZONE_CD, 9), 7u);       // from Tuner
    EXPECT_EQ(steps(ID_ZONE_CD, 7), 0u);       // already CD
    EXPECT_EQ(steps(ID_ZONE_CD, 1), 6u);       // from Video 1
    EXPECT_EQ(steps(ID_ZONE_CD, 2), 5u);       // from Video 2
    EXPECT_EQ(steps(ID_ZONE_VIDEO_1, 2), 8u);  // the whole cycle less one
    EXPECT_EQ(steps(ID_ZONE_TUNER, 1), 8u);
    EXPECT_EQ(steps(ID_ZONE_VIDEO_1, 9), 1u);
    EXPECT_EQ(steps(ID_ZONE_VIDEO_3, 0), 0u);   // before the first report
    EXPECT_EQ(steps(ID_ZONE_VIDEO_3, 10), 0u);  // no zone source
    EXPECT_EQ(steps(ID_ZONE_VIDEO_3, 64), 0u);
}

TEST(CommandSet, ProgramCommands) {
    const RegisterMirror mirror;
    EXPECT_EQ(DecideCommand(ID_CONFIGURE, mirror).kind, Kind::Configure);
    EXPECT_EQ(DecideCommand(ID_CONTROL_PANEL, mirror).kind, Kind::ControlPanel);
    EXPECT_EQ(DecideCommand(ID_NAMES, mirror).kind, Kind::Names);
    EXPECT_EQ(DecideCommand(ID_REFRESH, mirror).kind, Kind::Refresh);
    EXPECT_EQ(DecideCommand(ID_ABOUT, mirror).kind, Kind::About);
    EXPECT_EQ(DecideCommand(ID_EXIT, mirror).kind, Kind::Exit);
    EXPECT_EQ(DecideCommand(32799, mirror).kind, Kind::Unknown);
    EXPECT_EQ(DecideCommand(0, mirror).kind, Kind::Unknown);
}

TEST(Menus, EveryMenuItemIsACommandThatTheSetKnows) {
    std::vector<const MenuDefinition*> menus = {&FileMenu()};
    for (RightClick kind :
         {RightClick::PowerMenu, RightClick::AudioMenu, RightClick::VideoMenu,
          RightClick::TapeMonitorMenu, RightClick::MultiSourceMenu, RightClick::ModeMenu})
        menus.push_back(HotSpotMenu(kind));
    int items = 0, separators = 0;
    for (const MenuDefinition* menu : menus) {
        ASSERT_NE(menu, nullptr);
        for (const MenuItem& item : menu->items) {
            if (item.id == 0) {
                ++separators;
                continue;
            }
            ++items;
            EXPECT_NE(DecideCommand(item.id, RegisterMirror{}).kind, Kind::Unknown) << item.text;
        }
    }
    EXPECT_EQ(items, 6 + 3 + 3 + 6 + 3 + 9 + 10);
    EXPECT_EQ(separators, 4);
    EXPECT_EQ(HotSpotMenu(RightClick::None), nullptr);
    EXPECT_EQ(HotSpotMenu(RightClick::TonePopup), nullptr);
    EXPECT_STREQ(HotSpotMenu(RightClick::ModeMenu)->items[0].text, "Stereo/Direct");
    EXPECT_STREQ(FileMenu().items.back().text, "Exit");
}

}  // namespace
}  // namespace r512
