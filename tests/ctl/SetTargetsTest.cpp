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
        ASSERT_EQ(ParseSetGoal(c.what, c.value, goal), SetProblem::None)
            << c.what << " " << c.value;
        EXPECT_EQ(NextKey(goal, c.from), c.key)
            << c.what << " " << c.value << " from " << int{c.from};
    }
}

TEST(SetTargets, ValuesOutsideTheRangeAreRefused) {
    const struct {
        const char* what;
        const char* value;
        SetProblem problem;
        const char* text;
    } refused[] = {
        {"volume", "-91", SetProblem::BadValue, "set volume: '-91' is not a number from "},
        {"volume", "16", SetProblem::BadValue, "set volume: '16' is not a number from "},
        {"volume", "-3x", SetProblem::BadValue, "set volume: '-3x' is not a number from "},
        {"bass", "13", SetProblem::BadValue, "set bass: '13' is not a number from "},
        {"source", "tape", SetProblem::BadValue, "set source: 'tape' is not one of "},
        {"power", "maybe", SetProblem::BadValue, "set power: 'maybe' is not one of on|off"},
        {"zone-source", "ext-5.1", SetProblem::BadValue, "set zone-source: 'ext-5.1' is not one"},
        {"nothing", "1", SetProblem::UnknownTarget, "set: no target 'nothing' (see r512ctl"},
    };
    for (const auto& c : refused) {
        SetGoal goal;
        EXPECT_EQ(ParseSetGoal(c.what, c.value, goal), c.problem) << c.what << " " << c.value;
        EXPECT_EQ(SetProblemText(c.problem, c.what, c.value).rfind(c.text, 0), 0u)
            << SetProblemText(c.problem, c.what, c.value);
    }
}

}  // namespace
}  // namespace r512::test
