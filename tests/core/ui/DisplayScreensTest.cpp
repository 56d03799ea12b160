// The three screens (no connection, standby, the device's state) and the normal text of both
// lines, without announcements.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/ui/CompositionFixture.h"

namespace r512::test {
namespace {

using DisplayScreens = Composition;
using DisplayTopLine = Composition;
using DisplayModeField = Composition;

const std::string kBlankLine(20, ' ');

// ---- Screens ---------------------------------------------------------------------------------

TEST_F(DisplayScreens, EveryPassSendsTopLineWithoutAndBottomLineWithRedraw) {
    Pass();
    ASSERT_EQ(display.calls.size(), 2u);
    EXPECT_EQ(display.calls[0].line, 0);
    EXPECT_FALSE(display.calls[0].redraw);
    EXPECT_EQ(display.calls[1].line, 1);
    EXPECT_TRUE(display.calls[1].redraw);
    EXPECT_EQ(display.calls[0].text, std::optional<std::string>("Video 1 Dolby Digit."));
    EXPECT_EQ(display.calls[1].text, std::optional<std::string>("Direct      vol: -40"));
}

TEST_F(DisplayScreens, NoConnectionWhenEveryRegisterIsPendingWhateverTheOldValues) {
    Set(RS_MUTE, 1);
    Set(RS_THX, 2);
    Pass();
    const std::string top = TopBuffer(), bottom = BottomBuffer();
    mirror.MarkAllPending();
    display.calls.clear();
    timers.events.clear();

    Pass();

    ASSERT_EQ(display.calls.size(), 2u);
    EXPECT_EQ(display.calls[0].text, std::optional<std::string>("   no connection    "));
    EXPECT_EQ(display.calls[0].line, 0);
    EXPECT_FALSE(display.calls[0].redraw);
    EXPECT_EQ(display.calls[1].text, std::optional<std::string>("      to R512       "));
    EXPECT_EQ(display.calls[1].line, 1);
    EXPECT_TRUE(display.calls[1].redraw);
    EXPECT_EQ(Top(), "   no connection    ");
    EXPECT_EQ(Bottom(), "      to R512       ");
    // The buffers keep the last composed screen.
    EXPECT_EQ(TopBuffer(), top);
    EXPECT_EQ(BottomBuffer(), bottom);
    // The retry timer, and no other.
    using E = RecordingWindowTimers::Event;
    EXPECT_EQ(timers.events, (std::vector<E>{{E::Start, kRetryTimer, 1000}}));
}

TEST_F(DisplayScreens, NoConnectionStartsTheRetryTimerOnlyIfItIsNotRunning) {
    mirror.MarkAllPending();
    Pass();
    Pass();
    Pass();
    EXPECT_EQ(timers.Starts(kRetryTimer), 1);
    EXPECT_TRUE(timers.IsTimerRunning(kRetryTimer));

    // Once the retry has run (it stops its timer), the next silent pass starts it again.
    timers.StopTimer(kRetryTimer);
    Pass();
    EXPECT_EQ(timers.Starts(kRetryTimer), 2);
    EXPECT_EQ(timers.Period(kRetryTimer), 1000u);
}

TEST_F(DisplayScreens, NoConnectionLeavesEveryRegisterPending) {
    Report(RS_BASS, 15);
    Report(RS_ZONE_AUDIO_SOURCE, 9);
    mirror.MarkAllPending();
    Pass();
    Pass();
    EXPECT_TRUE(mirror.AllPending());
}

TEST_F(DisplayScreens, OneAnsweredRegisterEndsTheNoConnectionScreen) {
    mirror.MarkAllPending();
    Pass();
    mirror.ApplyReport(RS_THX, 0);  // the same value: Known, not announced
    EXPECT_EQ(State(RS_THX), RegisterState::Known);
    Pass();
    EXPECT_EQ(Top(), "Video 1 Dolby Digit.");
    EXPECT_EQ(Bottom(), "Direct      vol: -40");
}

TEST_F(DisplayScreens, StandbyBlanksBothLinesAndLeavesTheBuffers) {
    Pass();
    const std::string top = TopBuffer(), bottom = BottomBuffer();
    display.calls.clear();
    timers.events.clear();

    Report(RS_OPER_MODE, 0);

    ASSERT_EQ(display.calls.size(), 2u);
    EXPECT_FALSE(display.calls[0].text.has_value());
    EXPECT_EQ(display.calls[0].line, 0);
    EXPECT_FALSE(display.calls[0].redraw);
    EXPECT_FALSE(display.calls[1].text.has_value());
    EXPECT_EQ(display.calls[1].line, 1);
    EXPECT_TRUE(display.calls[1].redraw);
    EXPECT_EQ(Top(), kBlankLine);
    EXPECT_EQ(Bottom(), kBlankLine);
    EXPECT_EQ(TopBuffer(), top);
    EXPECT_EQ(BottomBuffer(), bottom);
    EXPECT_TRUE(timers.events.empty());
}

TEST_F(DisplayScreens, StandbyAnnouncesNothingUntilTheDeviceIsOn) {
    Set(RS_OPER_MODE, 0);
    Report(RS_BASS, 15);
    Report(RS_ZONE_AUDIO_SOURCE, 8);
    EXPECT_EQ(Bottom(), kBlankLine);
    EXPECT_EQ(State(RS_BASS), RegisterState::Changed);
    EXPECT_EQ(State(RS_ZONE_AUDIO_SOURCE), RegisterState::Changed);
    EXPECT_TRUE(timers.events.empty());

    Report(RS_OPER_MODE, 1);
    EXPECT_EQ(Top(), "Zone: Aux           ");
    EXPECT_EQ(Field(), "Bass +3 ");
}

TEST_F(DisplayScreens, StandbyAfterRefreshShowsBlankNotNoConnection) {
    mirror.MarkAllPending();
    mirror.ApplyReport(RS_OPER_MODE, 0);
    Pass();
    EXPECT_EQ(Top(), kBlankLine);
    EXPECT_EQ(Bottom(), kBlankLine);
    EXPECT_FALSE(timers.IsTimerRunning(kRetryTimer));
}

// ---- Examples --------------------------------------------------------------------------------

TEST_F(DisplayScreens, DolbyDigitalInModeZeroShowsDirect) {
    Pass();
    EXPECT_EQ(Top(), "Video 1 Dolby Digit.");
    EXPECT_EQ(Bottom(), "Direct      vol: -40");
    EXPECT_EQ(TopBuffer(), std::string("Video 1 Dolby Digit.") + '\0');
    EXPECT_EQ(BottomBuffer(), std::string("Direct      vol: -40") + '\0');
}

TEST_F(DisplayScreens, ProLogicWithThxMutedAtMinusFive) {
    Set(RS_STEREO_MODE, 1);
    Set(RS_THX, 1);
    Set(RS_MUTE, 1);
    Set(RS_VOLUME, 95);
    Pass();
    EXPECT_EQ(Top(), "Video 1 Dolby Digit.");
    EXPECT_EQ(Bottom(), "[] PL   THX Mute -5 ");
    // Column 19 holds the number's zero byte, which draws as the blank cell.
    EXPECT_EQ(display.screen.At(1, 19), '\0');
    EXPECT_EQ(FrontPanelText::FontCellX(display.screen.At(1, 19)), FrontPanelText::FontCellX(' '));
}

// ---- Top line --------------------------------------------------------------------------------

TEST_F(DisplayTopLine, SourceNamesAndSignalTypes) {
    struct Case {
        std::uint8_t source, signal;
        const char* top;
    } cases[] = {
        {6, 2, "Video 6 Digital PCM "},  {7, 4, "CD      dts         "},
        {9, 8, "Tuner   Digital Err."},  {8, 0, "Aux     Type 0      "},
        {8, 9, "Aux     Type 9      "},  // beyond the table
        {0, 7, "        Analog      "},  // a source without a name writes nothing
        {10, 1, "        Zero Signal "}, {255, 200, "        Type 200    "},
    };
    for (const Case& c : cases) {
        Set(RS_AUDIO_SOURCE, c.source);
        Set(RS_SIGNAL_TYPE, c.signal);
        Pass();
        EXPECT_EQ(Top(), c.top) << int(c.source) << "/" << int(c.signal);
    }
}

TEST_F(DisplayTopLine, TapeMonitorCoversTheSignalType) {
    Set(RS_SIGNAL_TYPE, 2);
    Report(RS_TAPEMONITOR, 1);
    EXPECT_EQ(Top(), "Video 1 Tape Monitor");
    Report(RS_TAPEMONITOR, 0);
    EXPECT_EQ(Top(), "Video 1 Digital PCM ");
}

TEST_F(DisplayTopLine, ExternalInputShowsOnlyItsName) {
    Set(RS_AUDIO_SOURCE, 64);
    Set(RS_TAPEMONITOR, 1);
    Set(RS_THX, 1);
    Set(RS_STEREO_MODE, 1);
    Pass();
    EXPECT_EQ(Top(), "Ext 5.1             ");
    EXPECT_EQ(Bottom(), "            vol: -40");  // no mode, no THX
}

TEST_F(DisplayTopLine, ExternalInputShowsTheLateNightAnnouncementInItsOwnPassOnly) {
    Set(RS_AUDIO_SOURCE, 64);
    Report(RS_COMPRESSION, 1);
    EXPECT_EQ(Bottom(), "LateN On    vol: -40");
    Report(RS_VOLUME, 61);
    EXPECT_EQ(Bottom(), "            vol: -39");
}

TEST_F(DisplayTopLine, ZoneSourceAnnouncement) {
    Report(RS_ZONE_AUDIO_SOURCE, 7);  // the same value: nothing to announce
    EXPECT_EQ(Top(), "Video 1 Dolby Digit.");

    Set(RS_ZONE_AUDIO_SOURCE, 1);
    Report(RS_ZONE_AUDIO_SOURCE, 7);
    EXPECT_EQ(Top(), "Zone: CD            ");
    EXPECT_EQ(Bottom(), "Direct      vol: -40");  // the bottom line as normal
    EXPECT_EQ(State(RS_ZONE_AUDIO_SOURCE), RegisterState::Changed);
    EXPECT_TRUE(timers.IsTimerRunning(kZoneSourceTimer));
    EXPECT_EQ(timers.Period(kZoneSourceTimer), 2500u);

    Report(RS_ZONE_AUDIO_SOURCE, 64);
    EXPECT_EQ(Top(), "Zone: Ext 5.1       ");
    Report(RS_ZONE_AUDIO_SOURCE, 0);
    EXPECT_EQ(Top(), "Zone:               ");
}

TEST_F(DisplayTopLine, EveryPassWhileTheZoneSourceIsAnnouncedTimesItAfresh) {
    Report(RS_ZONE_AUDIO_SOURCE, 9);
    timers.events.clear();
    Report(RS_VOLUME, 61);  // any other report
    EXPECT_EQ(Top(), "Zone: Tuner         ");
    using E = RecordingWindowTimers::Event;
    EXPECT_EQ(timers.events,
              (std::vector<E>{{E::Stop, kZoneSourceTimer, 0}, {E::Start, kZoneSourceTimer, 2500}}));
}

TEST_F(DisplayTopLine, ZoneSourceAnnouncementEndsWithTimerOne) {
    Report(RS_ZONE_AUDIO_SOURCE, 8);
    display.calls.clear();
    Expire(kZoneSourceTimer);
    EXPECT_FALSE(timers.IsTimerRunning(kZoneSourceTimer));
    EXPECT_EQ(State(RS_ZONE_AUDIO_SOURCE), RegisterState::Known);
    EXPECT_EQ(display.calls.size(), 2u);  // composed again
    EXPECT_EQ(Top(), "Video 1 Dolby Digit.");
    Pass();
    EXPECT_FALSE(timers.IsTimerRunning(kZoneSourceTimer));
}

// ---- Mode field ------------------------------------------------------------------------------

TEST_F(DisplayModeField, DirectOnlyForDolbyDigitalAndDts) {
    for (int signal = 0; signal <= 10; ++signal) {
        Set(RS_SIGNAL_TYPE, static_cast<std::uint8_t>(signal));
        Pass();
        const bool direct = signal == 3 || signal == 4;
        EXPECT_EQ(Bottom().substr(0, 12), direct ? "Direct      " : "Stereo      ")
            << "signal type " << signal;
    }
}

TEST_F(DisplayModeField, DirectOnlyForModeZero) {
    Set(RS_STEREO_MODE, 12);  // the same name as mode 0, but another mode
    Pass();
    EXPECT_EQ(Bottom().substr(0, 12), "Stereo      ");
    Set(RS_SIGNAL_TYPE, 4);
    Set(RS_STEREO_MODE, 0);
    Pass();
    EXPECT_EQ(Bottom().substr(0, 12), "Direct      ");
}

TEST_F(DisplayModeField, ModeNames) {
    struct Case {
        std::uint8_t mode;
        const char* field;
    } cases[] = {
        {1, "[] PL       "},  {7, "Mono        "},  {9, "Surr 6@     "},   {11, "Mode 11     "},
        {15, "Bypass      "}, {16, "Mode 16     "}, {255, "Mode 255    "},
    };
    for (const Case& c : cases) {
        Set(RS_STEREO_MODE, c.mode);
        Pass();
        EXPECT_EQ(Bottom().substr(0, 12), c.field) << int(c.mode);
    }
}

TEST_F(DisplayModeField, ThxMarks) {
    Set(RS_STEREO_MODE, 255);  // the longest mode name
    Set(RS_THX, 1);
    Pass();
    EXPECT_EQ(Bottom(), "Mode 255THX vol: -40");
    Set(RS_STEREO_MODE, 1);
    Set(RS_THX, 2);
    Pass();
    EXPECT_EQ(Bottom(), "THX Surr EX vol: -40");
    Set(RS_SIGNAL_TYPE, 3);
    Set(RS_STEREO_MODE, 0);
    Pass();
    EXPECT_EQ(Bottom(), "THX Surr EX vol: -40");  // over "Direct" as well
    for (std::uint8_t thx : {0, 3, 255}) {
        Set(RS_THX, thx);
        Pass();
        EXPECT_EQ(Bottom(), "Direct      vol: -40") << int(thx);
    }
}

TEST_F(DisplayModeField, EarlierTextIsClearedFromColumnsZeroToEleven) {
    Set(RS_THX, 2);
    Pass();
    Set(RS_THX, 0);
    Set(RS_STEREO_MODE, 7);
    Set(RS_SIGNAL_TYPE, 2);
    Pass();
    EXPECT_EQ(Bottom(), "Mono        vol: -40");
}

}  // namespace
}  // namespace r512::test
