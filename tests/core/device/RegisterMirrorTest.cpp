// The mirror's state rules for a report.
#include <gtest/gtest.h>

#include "device/RegisterMirror.h"

namespace r512 {
namespace {

using State = RegisterState;

struct Case {
    State before;
    std::uint8_t stored;
    std::uint8_t reported;
    State after;
};

TEST(RegisterMirror, ReportRules) {
    const Case cases[] = {
        {State::Known, 5, 5, State::Known},      // nothing new
        {State::Known, 5, 6, State::Changed},    // a change outside a refresh
        {State::Changed, 5, 5, State::Changed},  // not yet announced: stays
        {State::Changed, 5, 7, State::Changed},
        {State::Shown, 5, 5, State::Shown},    // being announced: same value keeps it
        {State::Shown, 5, 9, State::Changed},  // another value: announce again
        {State::Pending, 5, 5, State::Known},  // awaited by a refresh: never announced
        {State::Pending, 5, 0, State::Known},
    };
    for (const Case& c : cases) {
        RegisterMirror mirror;
        mirror[RS_BASS] = {c.stored, c.before};
        mirror.ApplyReport(RS_BASS, c.reported);
        EXPECT_EQ(mirror.Value(RS_BASS), c.reported);
        EXPECT_EQ(mirror.State(RS_BASS), c.after)
            << "from state " << int(c.before) << ", " << int(c.stored) << " -> " << int(c.reported);
    }
}

TEST(RegisterMirror, StartsKnownAtZeroAndRefreshKeepsValues) {
    RegisterMirror mirror;
    for (int i = 0; i < kRegisterCount; ++i) {
        const auto code = static_cast<std::uint8_t>(kFirstRegister + i);
        EXPECT_EQ(mirror.Value(code), 0);
        EXPECT_EQ(mirror.State(code), State::Known);
        mirror[code].value = static_cast<std::uint8_t>(i * 3);
    }
    EXPECT_FALSE(mirror.AllPending());
    mirror.MarkAllPending();
    EXPECT_TRUE(mirror.AllPending());
    for (int i = 0; i < kRegisterCount; ++i)
        EXPECT_EQ(mirror.Value(static_cast<std::uint8_t>(kFirstRegister + i)), i * 3);
    // One report is enough to end "no connection".
    mirror.ApplyReport(RS_THX, 0);
    EXPECT_FALSE(mirror.AllPending());
}

TEST(RegisterMirror, EntriesAreAddressedByCode) {
    RegisterMirror mirror;
    mirror.ApplyReport(RS_VOLUME, 1);
    mirror.ApplyReport(RS_THX, 2);
    EXPECT_EQ(mirror.Value(0xE1), 1);
    EXPECT_EQ(mirror.Value(0xFA), 2);
    EXPECT_EQ(mirror.Value(0xE2), 0);
    EXPECT_EQ(mirror.Value(0xF9), 0);
}

}  // namespace
}  // namespace r512
