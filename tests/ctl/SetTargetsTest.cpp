// What set accepts and which key it sends next from where the register stands.
#include <gtest/gtest.h>

#include "device/Protocol.h"
#include "ui/SetTargets.h"

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
        {"volume", "-30", 65, cmd::kVolumeUp},
        {"volume", "-30", 71, cmd::kVolumeDown},
        {"volume", "-30", 70, -1},
        {"Volume", "15", 114, cmd::kVolumeUp},
        {"treble", "-12", 1, cmd::kTrebleDown},
        {"subwoofer", "+12", 24, -1},
        {"source", "Video 3", 7, cmd::kVideo3},
        {"source", "EXT_5.1", 7, cmd::kExt51},
        {"source", "cd", 7, -1},
        {"mute", "on", 2, -1},  // any nonzero is muted
        {"mute", "off", 2, cmd::kMuteToggle},
        {"power", "on", 0, cmd::kWakeUp},
        {"power", "off", 1, cmd::kStandby},
        {"zone-source", "video-1", 9, cmd::kZoneSourceNext},
        {"zone-source", "video-1", 0, -1},  // an unknown place in the ring: no way to count
        {"thx", "off", 2, cmd::kModeKey},
        {"mode", "ears", 0, cmd::kEars},
    };
    for (const Case& c : cases) {
        SetGoal goal;
        std::string error;
        ASSERT_TRUE(ParseSetGoal(c.what, c.value, goal, &error)) << error;
        EXPECT_EQ(NextKey(goal, c.from), c.key)
            << c.what << " " << c.value << " from " << int{c.from};
    }
}

TEST(SetTargets, ValuesOutsideTheRangeAreRefused) {
    const std::pair<const char*, const char*> refused[] = {
        {"volume", "-91"},  {"volume", "16"},   {"volume", "-3x"},          {"bass", "13"},
        {"source", "tape"}, {"power", "maybe"}, {"zone-source", "ext-5.1"}, {"nothing", "1"}};
    for (const auto& [what, value] : refused) {
        SetGoal goal;
        std::string error;
        EXPECT_FALSE(ParseSetGoal(what, value, goal, &error)) << what << " " << value;
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace r512::test
