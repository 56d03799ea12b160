// Announcements on the bottom line: levels, zone volume and mute, late night; their order,
// their timers and the register states they move; and the number field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ui/CompositionFixture.h"

namespace r512::test {
namespace {

using DisplayOverlays = Composition;
using DisplayLateNight = Composition;
using DisplayNumberField = Composition;

using E = RecordingWindowTimers::Event;

// ---- Level announcements ---------------------------------------------------------------------

TEST_F(DisplayOverlays, BassChangeIsAnnouncedForThreeSecondsThenTheVolumeReturns) {
    Pass();
    Report(RS_BASS, 15);
    EXPECT_EQ(Bottom(), "Direct      Bass +3 ");
    EXPECT_EQ(Top(), "Video 1 Dolby Digit.");
    EXPECT_EQ(State(RS_BASS), RegisterState::Shown);
    EXPECT_EQ(composer.OverlayOwner(), RS_BASS);
    EXPECT_TRUE(timers.IsTimerRunning(kOverlayTimer));
    EXPECT_EQ(timers.Period(kOverlayTimer), 3000u);

    Expire(kOverlayTimer);
    EXPECT_FALSE(timers.IsTimerRunning(kOverlayTimer));
    EXPECT_EQ(State(RS_BASS), RegisterState::Known);
    EXPECT_EQ(Bottom(), "Direct      vol: -40");
}

TEST_F(DisplayOverlays, EachLevelHasItsLabelAndPeriod) {
    struct Case {
        std::uint8_t code;
        std::uint8_t value;
        const char* field;
        unsigned periodMs;
    } cases[] = {
        {RS_BASS, 13, "Bass +1 ", 3000},      {RS_TREBLE, 10, "Treb -2 ", 3000},
        {RS_SUBWOOFER, 24, "Subw +12", 3000}, {RS_CENTER, 0, "Cntr -12", 3000},
        {RS_SURROUND, 5, "Surr -7 ", 3000},   {RS_ZONE_VOLUME, 75, "Z.v: -25", 2500},
    };
    for (const Case& c : cases) {
        Report(c.code, c.value);
        EXPECT_EQ(Field(), c.field) << RegisterName(c.code);
        EXPECT_EQ(timers.Period(kOverlayTimer), c.periodMs) << RegisterName(c.code);
        EXPECT_EQ(composer.OverlayOwner(), c.code);
        EXPECT_EQ(State(c.code), RegisterState::Shown);
        Expire(kOverlayTimer);
        EXPECT_EQ(State(c.code), RegisterState::Known);
    }
}

TEST_F(DisplayOverlays, ZoneMuteShowsTheZoneVolumeForFiveSeconds) {
    Report(RS_ZONE_MUTE, 1);
    EXPECT_EQ(Field(), "M Z: -30");
    EXPECT_EQ(composer.OverlayOwner(), RS_ZONE_MUTE);
    EXPECT_EQ(timers.Period(kOverlayTimer), 5000u);
    EXPECT_EQ(State(RS_ZONE_MUTE), RegisterState::Shown);
    Expire(kOverlayTimer);

    Report(RS_ZONE_MUTE, 0);
    EXPECT_EQ(Field(), "Z.v: -30");
    EXPECT_EQ(timers.Period(kOverlayTimer), 5000u);
}

TEST_F(DisplayOverlays, ZoneVolumeWhileTheZoneIsMutedCarriesTheMuteLabel) {
    Set(RS_ZONE_MUTE, 1);
    Report(RS_ZONE_VOLUME, 100);
    EXPECT_EQ(Field(), "M Z:  0 ");
    EXPECT_EQ(timers.Period(kOverlayTimer), 2500u);
    EXPECT_EQ(composer.OverlayOwner(), RS_ZONE_VOLUME);
}

TEST_F(DisplayOverlays, ShowLevelOverlayWritesOnlyColumnsTwelveToNineteen) {
    Pass();
    composer.ShowLevelOverlay(RS_TREBLE, "Treb", 3000);
    EXPECT_EQ(BottomBuffer(), std::string("Direct      Treb  0") + '\0' + '\0');
    EXPECT_EQ(TopBuffer(), std::string("Video 1 Dolby Digit.") + '\0');
    EXPECT_EQ(State(RS_TREBLE), RegisterState::Shown);
    EXPECT_EQ(timers.events.back(), (E{E::Start, kOverlayTimer, 3000}));
}

TEST_F(DisplayOverlays, OneAnnouncementPerPassInTableOrder) {
    // Everything changes at once, in the opposite order of the table.
    for (std::uint8_t code :
         {RS_ZONE_MUTE, RS_ZONE_VOLUME, RS_SURROUND, RS_CENTER, RS_SUBWOOFER, RS_TREBLE, RS_BASS})
        mirror.ApplyReport(code, mirror.Value(code) == 1 ? 2 : 1);
    Pass();

    const std::uint8_t order[] = {RS_BASS,     RS_TREBLE,      RS_SUBWOOFER, RS_CENTER,
                                  RS_SURROUND, RS_ZONE_VOLUME, RS_ZONE_MUTE};
    const char* labels[] = {"Bass", "Treb", "Subw", "Cntr", "Surr", "M Z:", "M Z:"};
    for (std::size_t i = 0; i < std::size(order); ++i) {
        EXPECT_EQ(composer.OverlayOwner(), order[i]);
        EXPECT_EQ(Field().substr(0, 4), labels[i]) << i;
        EXPECT_EQ(State(order[i]), RegisterState::Shown);
        for (std::size_t j = 0; j < i; ++j) EXPECT_EQ(State(order[j]), RegisterState::Known);
        for (std::size_t j = i + 1; j < std::size(order); ++j)
            EXPECT_EQ(State(order[j]), RegisterState::Changed);
        Expire(kOverlayTimer);
    }
    EXPECT_EQ(Field(), "vol: -40");
    EXPECT_FALSE(timers.IsTimerRunning(kOverlayTimer));
}

TEST_F(DisplayOverlays, NextReportShowsTheNextWaitingAnnouncementAndSettlesTheFormerOne) {
    mirror.ApplyReport(RS_BASS, 14);
    mirror.ApplyReport(RS_CENTER, 11);
    Pass();
    EXPECT_EQ(Field(), "Bass +2 ");
    Report(RS_VOLUME, 61);  // before timer 2 ends
    EXPECT_EQ(Field(), "Cntr -1 ");
    EXPECT_EQ(State(RS_BASS), RegisterState::Known);
    EXPECT_EQ(State(RS_CENTER), RegisterState::Shown);
}

TEST_F(DisplayOverlays, TrebleReplacesARunningBassAnnouncement) {
    Report(RS_BASS, 15);
    timers.events.clear();
    Report(RS_TREBLE, 8);
    EXPECT_EQ(Field(), "Treb -4 ");
    EXPECT_EQ(State(RS_BASS), RegisterState::Known);
    EXPECT_EQ(State(RS_TREBLE), RegisterState::Shown);
    EXPECT_EQ(composer.OverlayOwner(), RS_TREBLE);
    EXPECT_EQ(timers.events,
              (std::vector<E>{{E::Stop, kOverlayTimer, 0}, {E::Start, kOverlayTimer, 3000}}));
    Expire(kOverlayTimer);
    EXPECT_EQ(State(RS_TREBLE), RegisterState::Known);
    EXPECT_EQ(Field(), "vol: -40");
}

TEST_F(DisplayOverlays, AnotherChangeOfTheAnnouncedLevelTimesItAfresh) {
    Report(RS_BASS, 15);
    timers.events.clear();
    Report(RS_BASS, 16);
    EXPECT_EQ(Field(), "Bass +4 ");
    EXPECT_EQ(State(RS_BASS), RegisterState::Shown);
    EXPECT_EQ(timers.events,
              (std::vector<E>{{E::Stop, kOverlayTimer, 0}, {E::Start, kOverlayTimer, 3000}}));
}

TEST_F(DisplayOverlays, PassWithoutALevelChangeLeavesTheRunningAnnouncement) {
    Report(RS_BASS, 15);
    const std::string bottom = BottomBuffer();
    timers.events.clear();

    Report(RS_VOLUME, 70);
    Report(RS_MUTE, 1);
    Report(RS_BASS, 15);  // the same value again
    Report(RS_STEREO_MODE, 7);

    EXPECT_EQ(Bottom(), "Mono        Bass +3 ");
    EXPECT_EQ(BottomBuffer().substr(12), bottom.substr(12));
    EXPECT_EQ(State(RS_BASS), RegisterState::Shown);
    EXPECT_TRUE(timers.events.empty());

    // The volume and mute that came meanwhile appear when the announcement ends.
    Expire(kOverlayTimer);
    EXPECT_EQ(Bottom(), "Mono        Mute -30");
}

TEST_F(DisplayOverlays, AnnouncementSurvivesTheNoConnectionAndStandbyScreens) {
    Report(RS_BASS, 15);
    Report(RS_OPER_MODE, 0);
    EXPECT_EQ(Bottom(), std::string(20, ' '));
    Report(RS_OPER_MODE, 1);
    EXPECT_EQ(Bottom(), "Direct      Bass +3 ");
}

// ---- Late night ------------------------------------------------------------------------------

TEST_F(DisplayLateNight, OnAndOffTexts) {
    Report(RS_COMPRESSION, 1);
    EXPECT_EQ(Bottom(), "LateN On    vol: -40");
    EXPECT_EQ(State(RS_COMPRESSION), RegisterState::Shown);
    EXPECT_EQ(composer.OverlayOwner(), RS_COMPRESSION);
    EXPECT_EQ(timers.Period(kOverlayTimer), 3000u);
    Expire(kOverlayTimer);
    EXPECT_EQ(State(RS_COMPRESSION), RegisterState::Known);
    EXPECT_EQ(Bottom(), "Direct      vol: -40");

    Report(RS_COMPRESSION, 0);
    EXPECT_EQ(Bottom(), "LateN Off   vol: -40");
}

TEST_F(DisplayLateNight, TextIsWrittenInTheAnnouncingPassOnly) {
    Report(RS_COMPRESSION, 1);
    Report(RS_VOLUME, 61);
    EXPECT_TRUE(timers.IsTimerRunning(kOverlayTimer));
    EXPECT_EQ(Bottom(), "Direct      vol: -39");  // the volume field goes on following
}

TEST_F(DisplayLateNight, CutsARunningBassAnnouncementShort) {
    Report(RS_BASS, 15);
    timers.events.clear();
    Report(RS_COMPRESSION, 1);
    EXPECT_EQ(Bottom(), "LateN On    vol: -40");  // the volume field in the same pass
    EXPECT_EQ(State(RS_BASS), RegisterState::Known);
    EXPECT_EQ(State(RS_COMPRESSION), RegisterState::Shown);
    EXPECT_EQ(composer.OverlayOwner(), RS_COMPRESSION);
    EXPECT_EQ(timers.events,
              (std::vector<E>{{E::Stop, kOverlayTimer, 0}, {E::Start, kOverlayTimer, 3000}}));
}

TEST_F(DisplayLateNight, ALevelChangeTakesOverFromLateNight) {
    Report(RS_COMPRESSION, 1);
    Report(RS_SUBWOOFER, 18);
    EXPECT_EQ(Bottom(), "Direct      Subw +6 ");
    EXPECT_EQ(State(RS_COMPRESSION), RegisterState::Known);
    EXPECT_EQ(composer.OverlayOwner(), RS_SUBWOOFER);
}

TEST_F(DisplayLateNight, LateNightAgainWhileAnnouncedStaysShown) {
    Report(RS_COMPRESSION, 1);
    Report(RS_COMPRESSION, 0);
    EXPECT_EQ(Bottom(), "LateN Off   vol: -40");
    EXPECT_EQ(State(RS_COMPRESSION), RegisterState::Shown);
    EXPECT_EQ(timers.Starts(kOverlayTimer), 2);
}

TEST_F(DisplayLateNight, LateNightAndALevelInOnePass) {
    mirror.ApplyReport(RS_COMPRESSION, 1);
    mirror.ApplyReport(RS_BASS, 15);
    Pass();
    // Both texts appear; the level takes timer 2 and late night is over.
    EXPECT_EQ(Bottom(), "LateN On    Bass +3 ");
    EXPECT_EQ(composer.OverlayOwner(), RS_BASS);
    EXPECT_EQ(State(RS_COMPRESSION), RegisterState::Known);
    EXPECT_EQ(State(RS_BASS), RegisterState::Shown);
    EXPECT_EQ(timers.Period(kOverlayTimer), 3000u);
}

// ---- A refresh during an announcement ----------------------------------------------------------

TEST_F(DisplayOverlays, RefreshDuringAnAnnouncementStillEndsInNoConnection) {
    Report(RS_BASS, 15);
    Report(RS_ZONE_AUDIO_SOURCE, 8);
    mirror.MarkAllPending();  // a refresh that the device does not answer

    Expire(kOverlayTimer);
    EXPECT_EQ(State(RS_BASS), RegisterState::Pending);
    Expire(kZoneSourceTimer);
    EXPECT_EQ(State(RS_ZONE_AUDIO_SOURCE), RegisterState::Pending);

    EXPECT_TRUE(mirror.AllPending());
    EXPECT_EQ(Top(), "   no connection    ");
    EXPECT_TRUE(timers.IsTimerRunning(kRetryTimer));
}

// ---- Number field ----------------------------------------------------------------------------

TEST_F(DisplayNumberField, VolumeOfOneTwoAndThreeCharacters) {
    struct Case {
        std::uint8_t volume;
        const char* raw;  // columns 12-19 as stored, zero bytes included
    } cases[] = {
        {100, "vol:  0\0"}, {103, "vol: +3\0"}, {95, "vol: -5\0"},
        {60, "vol: -40"},   {112, "vol: +12"},  {1, "vol: -99"},
    };
    for (const Case& c : cases) {
        Set(RS_VOLUME, c.volume);
        Pass();
        EXPECT_EQ(BottomBuffer(), std::string("Direct      ") + std::string(c.raw, 8) + '\0')
            << int(c.volume);
        std::string shown(c.raw, 8);
        if (shown[7] == '\0') shown[7] = ' ';
        EXPECT_EQ(Field(), shown);
    }
}

TEST_F(DisplayNumberField, ZeroIsInColumnEighteen) {
    Set(RS_VOLUME, 100);
    Pass();
    EXPECT_EQ(display.screen.At(1, 16), ' ');
    EXPECT_EQ(display.screen.At(1, 17), ' ');
    EXPECT_EQ(display.screen.At(1, 18), '0');
    EXPECT_EQ(display.screen.At(1, 19), '\0');
}

TEST_F(DisplayNumberField, ShorterNumberLeavesNothingOfALongerOne) {
    Pass();
    EXPECT_EQ(Field(), "vol: -40");
    Set(RS_VOLUME, 103);
    Pass();
    EXPECT_EQ(Field(), "vol: +3 ");
    Report(RS_BASS, 24);
    EXPECT_EQ(Field(), "Bass +12");
    Report(RS_BASS, 12);
    EXPECT_EQ(Field(), "Bass  0 ");
}

TEST_F(DisplayNumberField, FourCharacterNumbersKeepTheirFirstThreeAndStayInTheLine) {
    Set(RS_VOLUME, 0);  // -100
    Pass();
    EXPECT_EQ(Bottom(), "Direct      vol: -10");
    EXPECT_EQ(BottomBuffer(), std::string("Direct      vol: -10") + '\0');
    EXPECT_EQ(TopBuffer(), std::string("Video 1 Dolby Digit.") + '\0');

    Report(RS_BASS, 255);  // +243
    EXPECT_EQ(Bottom(), "Direct      Bass +24");
    EXPECT_EQ(BottomBuffer(), std::string("Direct      Bass +24") + '\0');

    Set(RS_VOLUME, 255);  // +155
    Expire(kOverlayTimer);
    EXPECT_EQ(Field(), "vol: +15");
}

}  // namespace
}  // namespace r512::test
