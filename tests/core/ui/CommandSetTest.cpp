// Every command identifier and the codes it sends.
#include <gtest/gtest.h>

#include <map>

#include "device/Protocol.h"
#include "ui/CommandSet.h"
#include "ui/MenuTable.h"

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
        {32785, 0x23}, {32786, 0x22}, {32787, 0x06}, {32771, 0x0D}, {32772, 0x0E},
        {32773, 0x0F}, {32774, 0x10}, {32775, 0x11}, {32779, 0x12}, {32776, 0x13},
        {32777, 0x14}, {32778, 0x48}, {32780, 0x28}, {32781, 0x27}, {32782, 0x1A},
        {32810, 0x2B}, {32811, 0x2A}, {32812, 0x2F}, {32813, 0x2E}, {32814, 0x2C},
        {32815, 0x2D}, {1083, 0x46},  {1086, 0x47},  {1084, 0x44},  {1078, 0x45},
        {1080, 0x61},  {1085, 0x62},  {1081, 0x81},  {1087, 0x82},  {1082, 0x83},
        {1079, 0x84},
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
        {ID_THX_OFF, 0, {}},           {ID_THX_OFF, 1, {0x77}},       {ID_THX_OFF, 2, {0x77}},
        {ID_THX_ON, 0, {0x1B}},        {ID_THX_ON, 1, {}},            {ID_THX_ON, 2, {0x1B}},
        {ID_THX_SURROUND_EX, 0, {0x1B, 0x1B}}, {ID_THX_SURROUND_EX, 1, {0x1B}},
        {ID_THX_SURROUND_EX, 2, {}},   {ID_THX_SURROUND_EX, 7, {}},
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
    EXPECT_EQ(steps(ID_ZONE_CD, 9), 7u);      // from Tuner
    EXPECT_EQ(steps(ID_ZONE_CD, 7), 0u);      // already CD
    EXPECT_EQ(steps(ID_ZONE_CD, 1), 6u);      // from Video 1
    EXPECT_EQ(steps(ID_ZONE_CD, 2), 5u);      // from Video 2
    EXPECT_EQ(steps(ID_ZONE_VIDEO_1, 2), 8u); // the whole cycle less one
    EXPECT_EQ(steps(ID_ZONE_TUNER, 1), 8u);
    EXPECT_EQ(steps(ID_ZONE_VIDEO_1, 9), 1u);
    EXPECT_EQ(steps(ID_ZONE_VIDEO_3, 0), 0u);   // before the first report
    EXPECT_EQ(steps(ID_ZONE_VIDEO_3, 10), 0u);  // no zone source
    EXPECT_EQ(steps(ID_ZONE_VIDEO_3, 64), 0u);
}

TEST(CommandSet, ProgramCommands) {
    const RegisterMirror mirror;
    EXPECT_EQ(DecideCommand(32784, mirror).kind, Kind::Configure);
    EXPECT_EQ(DecideCommand(32800, mirror).kind, Kind::ControlPanel);
    EXPECT_EQ(DecideCommand(32819, mirror).kind, Kind::Names);
    EXPECT_EQ(DecideCommand(32809, mirror).kind, Kind::Refresh);
    EXPECT_EQ(DecideCommand(32820, mirror).kind, Kind::About);
    EXPECT_EQ(DecideCommand(32783, mirror).kind, Kind::Exit);
    EXPECT_EQ(DecideCommand(32799, mirror).kind, Kind::Unknown);
    EXPECT_EQ(DecideCommand(0, mirror).kind, Kind::Unknown);
}

TEST(Menus, EveryMenuItemIsACommandThatTheSetKnows) {
    std::vector<const MenuDefinition*> menus = {&FileMenu()};
    for (RightClick kind : {RightClick::PowerMenu, RightClick::AudioMenu, RightClick::VideoMenu,
                            RightClick::TapeMonitorMenu, RightClick::MultiSourceMenu,
                            RightClick::ModeMenu})
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
