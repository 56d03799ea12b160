// What set accepts and which key it sends next from where the register stands.
#include <gtest/gtest.h>

#include "ctl/SetTargets.h"
#include "device/Protocol.h"

namespace r512::test {
namespace {

struct Case {
    const char* what;
    const char* value;
    std::uint8_t from;  // the register's byte
    int key;            // the next key, -1 for none
};

TEST(SetTargets, NextKeyLeadsTowardTheGoal) {
    const Case cases[] = {
        {"volume", "-30", 65, Cmd::VolumeUp},
        {"volume", "-30", 71, Cmd::VolumeDown},
        {"volume", "-30", 70, -1},
        {"Volume", "15", 114, Cmd::VolumeUp},
        {"treble", "-12", 1, Cmd::TrebleDown},
        {"subwoofer", "+12", 24, -1},
        {"source", "Video 3", 7, Cmd::Video3},
        {"source", "EXT_5.1", 7, Cmd::Ext51},
        {"source", "cd", 7, -1},
        {"mute", "on", 2, -1},  // any nonzero is muted
        {"mute", "off", 2, Cmd::MuteToggle},
        {"power", "on", 0, Cmd::WakeUp},
        {"power", "off", 1, Cmd::Standby},
        {"zone-source", "video-1", 9, Cmd::ZoneSourceNext},
        {"zone-source", "video-1", 0, -1},  // an unknown place in the ring: no way to count
        {"thx", "off", 2, Cmd::ModeKey},
        {"mode", "ears", 0, Cmd::Ears},
    };
    for (const Case& c : cases) {
        ctl::SetGoal goal;
        std::string error;
        ASSERT_TRUE(ctl::ParseSetGoal(c.what, c.value, goal, &error)) << error;
        EXPECT_EQ(ctl::NextKey(goal, c.from), c.key)
            << c.what << " " << c.value << " from " << int{c.from};
    }
}

TEST(SetTargets, ValuesOutsideTheRangeAreRefused) {
    const std::pair<const char*, const char*> refused[] = {
        {"volume", "-91"},  {"volume", "16"},   {"volume", "-3x"},          {"bass", "13"},
        {"source", "tape"}, {"power", "maybe"}, {"zone-source", "ext-5.1"}, {"nothing", "1"}};
    for (const auto& [what, value] : refused) {
        ctl::SetGoal goal;
        std::string error;
        EXPECT_FALSE(ctl::ParseSetGoal(what, value, goal, &error)) << what << " " << value;
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace r512::test
