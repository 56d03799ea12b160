#include "ui/DisplayComposer.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "device/Protocol.h"
#include "device/ValuePresentation.h"

namespace r512 {

namespace {

constexpr int kColumns = 20;
constexpr int kFieldColumn = 12;   // where the volume field and the level announcements begin
constexpr int kNumberColumn = 17;  // where a signed number begins
constexpr std::uint8_t kLateNightOwner = RS_COMPRESSION;

constexpr unsigned kZoneSourcePeriodMs = 2500;
constexpr unsigned kLateNightPeriodMs = 3000;
constexpr unsigned kLevelPeriodMs = 3000;
constexpr unsigned kZoneVolumePeriodMs = 2500;
constexpr unsigned kZoneMutePeriodMs = 5000;
constexpr unsigned kRetryPeriodMs = 1000;

// Writes `text` into `line` from `column` on, without a terminator; nothing goes past the last
// column (a line holds 20 cells, and the display shows no more).
void Put(char* line, int column, std::string_view text) {
    for (std::size_t i = 0; i < text.size() && column + static_cast<int>(i) < kColumns; ++i)
        line[column + i] = text[i];
}

void Blank(char* line, int first, int last) {
    std::memset(line + first, ' ', static_cast<std::size_t>(last - first + 1));
}

struct LevelAnnouncement {
    std::uint8_t code;
    const char* label;  // nullptr: the zone label
    unsigned periodMs;
};

// The announcements of the bottom line's field, first match first.
// clang-format off
constexpr LevelAnnouncement kLevelAnnouncements[] = {
    {RS_BASS, "Bass", kLevelPeriodMs},
    {RS_TREBLE, "Treb", kLevelPeriodMs},
    {RS_SUBWOOFER, "Subw", kLevelPeriodMs},
    {RS_CENTER, "Cntr", kLevelPeriodMs},
    {RS_SURROUND, "Surr", kLevelPeriodMs},
    {RS_ZONE_VOLUME, nullptr, kZoneVolumePeriodMs},
    {RS_ZONE_MUTE, nullptr, kZoneMutePeriodMs},
};
// clang-format on

}  // namespace

DisplayComposer::DisplayComposer(RegisterMirror& mirror, DisplayLines& display,
                                 WindowTimers& timers)
    : mirror_(mirror), display_(display), timers_(timers) {
    Blank(top_, 0, kColumns - 1);
    Blank(bottom_, 0, kColumns - 1);
    top_[kColumns] = '\0';
    bottom_[kColumns] = '\0';
}

void DisplayComposer::UpdateDisplay() {
    const char* zoneLabel = mirror_.Value(RS_ZONE_MUTE) != 0 ? "M Z:" : "Z.v:";

    // Nobody has answered since the last refresh: whatever the mirror still holds is stale.
    if (mirror_.AllPending()) {
        display_.SetLine("   no connection    ", 0, false);
        display_.SetLine("      to R512       ", 1, true);
        if (!timers_.IsTimerRunning(kRetryTimer)) timers_.StartTimer(kRetryTimer, kRetryPeriodMs);
        return;
    }

    // Standby: the device's panel is dark.
    if (mirror_.Value(RS_OPER_MODE) == 0) {
        display_.SetLine(nullptr, 0, false);
        display_.SetLine(nullptr, 1, true);
        return;
    }

    // Top line.
    const std::uint8_t source = mirror_.Value(RS_AUDIO_SOURCE);
    Blank(top_, 0, kColumns - 1);
    if (mirror_.State(RS_ZONE_AUDIO_SOURCE) == RegisterState::Changed) {
        // The register stays Changed until timer 1 ends, so each pass in between shows the
        // announcement again and times it afresh.
        Put(top_, 0, "Zone:");
        Put(top_, 6, SourceName(mirror_.Value(RS_ZONE_AUDIO_SOURCE)));
        if (timers_.IsTimerRunning(kZoneSourceTimer)) timers_.StopTimer(kZoneSourceTimer);
        timers_.StartTimer(kZoneSourceTimer, kZoneSourcePeriodMs);
    } else {
        Put(top_, 0, SourceName(source));
        if (source != kSourceExt51) {
            Put(top_, 8, SignalTypeName(mirror_.Value(RS_SIGNAL_TYPE)));
            if (mirror_.Value(RS_TAPEMONITOR) != 0) Put(top_, 8, "Tape Monitor");
        }
    }

    // Bottom line, columns 0-11; columns 12-19 keep what an earlier pass put there.
    Blank(bottom_, 0, kFieldColumn - 1);
    if (mirror_.State(RS_COMPRESSION) == RegisterState::Changed) {
        Put(bottom_, 0, mirror_.Value(RS_COMPRESSION) != 0 ? "LateN On" : "LateN Off");
        if (timers_.IsTimerRunning(kOverlayTimer)) {
            timers_.StopTimer(kOverlayTimer);
            if (overlayOwner_ != kLateNightOwner) Settle(overlayOwner_);
        }
        timers_.StartTimer(kOverlayTimer, kLateNightPeriodMs);
        overlayOwner_ = kLateNightOwner;
        mirror_.SetState(RS_COMPRESSION, RegisterState::Shown);
    } else if (source == kSourceExt51) {
        // The external 5.1 input has no mode of its own to show.
    } else {
        const std::uint8_t mode = mirror_.Value(RS_STEREO_MODE);
        const std::uint8_t signal = mirror_.Value(RS_SIGNAL_TYPE);
        if (mode == 0 && IsDolbyDigitalOrDts(signal))
            Put(bottom_, 0, "Direct");
        else
            Put(bottom_, 0, ModeName(mode));
        switch (mirror_.Value(RS_THX)) {
            case 1:
                Put(bottom_, 8, "THX");
                break;
            case 2:
                Put(bottom_, 0, "THX Surr EX");
                break;
            default:
                break;
        }
    }

    // Bottom line, columns 12-19: the first level waiting to be announced, else the volume.
    bool announced = false;
    for (const LevelAnnouncement& level : kLevelAnnouncements) {
        if (mirror_.State(level.code) != RegisterState::Changed) continue;
        ShowLevelOverlay(level.code, level.label != nullptr ? level.label : zoneLabel,
                         level.periodMs);
        announced = true;
        break;
    }
    if (!announced &&
        (!timers_.IsTimerRunning(kOverlayTimer) || overlayOwner_ == kLateNightOwner)) {
        Put(bottom_, kFieldColumn, mirror_.Value(RS_MUTE) != 0 ? "Mute" : "vol:");
        Blank(bottom_, kFieldColumn + 4, kColumns - 1);
        WriteNumber(DisplayValue(mirror_.Value(RS_VOLUME), RS_VOLUME));
    }
    // Otherwise a level announcement runs and its text stays.

    // One repaint per pass, at the second line.
    display_.SetLine(top_, 0, false);
    display_.SetLine(bottom_, 1, true);
}

void DisplayComposer::ShowLevelOverlay(std::uint8_t code, const char* label, unsigned durationMs) {
    // Zone mute is announced with the zone's volume.
    const int number = code == RS_ZONE_MUTE
                           ? DisplayValue(mirror_.Value(RS_ZONE_VOLUME), RS_ZONE_VOLUME)
                           : DisplayValue(mirror_.Value(code), code);

    Blank(bottom_, kFieldColumn, kColumns - 1);
    if (label != nullptr) Put(bottom_, kFieldColumn, std::string_view(label).substr(0, 4));
    WriteNumber(number);

    if (timers_.IsTimerRunning(kOverlayTimer)) {
        timers_.StopTimer(kOverlayTimer);
        if (overlayOwner_ != code) Settle(overlayOwner_);
    }
    timers_.StartTimer(kOverlayTimer, durationMs);
    overlayOwner_ = code;
    mirror_.SetState(code, RegisterState::Shown);
}

void DisplayComposer::ZoneSourceTimerEnded() {
    timers_.StopTimer(kZoneSourceTimer);
    Settle(RS_ZONE_AUDIO_SOURCE);
    UpdateDisplay();
}

void DisplayComposer::OverlayTimerEnded() {
    timers_.StopTimer(kOverlayTimer);
    Settle(overlayOwner_);
    UpdateDisplay();
}

// The number field: "%+d" from column 17, zero as "0" in column 18, a zero byte behind the text.
// A four-character number (-100, or a level byte far beyond its range) keeps its first three
// characters: the line ends at column 19 and the buffer's terminator stays where it is.
void DisplayComposer::WriteNumber(int value) {
    char text[16];
    int column = kNumberColumn;
    if (value == 0) {
        std::snprintf(text, sizeof text, "0");
        column = kNumberColumn + 1;
    } else {
        std::snprintf(text, sizeof text, "%+d", value);
    }
    const std::size_t room = static_cast<std::size_t>(kColumns - column);
    std::size_t length = std::strlen(text);
    if (length > room) length = room;
    std::memcpy(bottom_ + column, text, length);
    bottom_[column + length] = '\0';
}

// An announcement is over: the register's change has been dealt with. A register that a refresh
// has marked Pending in the meantime stays Pending, so that a device that has stopped answering
// is still seen as not connected.
void DisplayComposer::Settle(std::uint8_t code) {
    if (!IsRegisterCode(code)) return;
    if (mirror_.State(code) == RegisterState::Pending) return;
    mirror_.SetState(code, RegisterState::Known);
}

}  // namespace r512
