#pragma once

#include <array>
#include <cstdint>

namespace r512 {

// Register codes: the device reports each of its 26 registers as a three-byte frame that
// starts with the register's code.
enum RegisterCode : std::uint8_t {
    RS_VOLUME = 0xE1,
    RS_MUTE = 0xE2,
    RS_AUDIO_SOURCE = 0xE3,
    RS_VIDEO_SOURCE = 0xE4,
    RS_OPER_MODE = 0xE5,
    RS_ZONE_AUDIO_SOURCE = 0xE6,
    RS_ZONE_VIDEO_SOURCE = 0xE7,
    RS_ZONE_VOLUME = 0xE8,
    RS_ZONE_MUTE = 0xE9,
    RS_DIMMER = 0xEA,
    RS_TAPEMONITOR = 0xEB,
    RS_STEREO_MODE = 0xEC,
    RS_SIGNAL_TYPE = 0xED,
    RS_AUDIO_INPUT_TYPE = 0xEE,
    RS_COMPRESSION = 0xEF,
    RS_CINEEQ = 0xF0,
    RS_VIDEO_INPUT_TYPE = 0xF1,
    RS_TREBLE = 0xF2,
    RS_BASS = 0xF3,
    RS_CENTER = 0xF4,
    RS_SURROUND = 0xF5,
    RS_SUBWOOFER = 0xF6,
    RS_TRIGGER1 = 0xF7,
    RS_TRIGGER2 = 0xF8,
    RS_TV_SYSTEM = 0xF9,
    RS_THX = 0xFA,
};

constexpr std::uint8_t kFirstRegister = RS_VOLUME;
constexpr std::uint8_t kLastRegister = RS_THX;
constexpr int kRegisterCount = kLastRegister - kFirstRegister + 1;  // 26

// Register values that the program acts on by meaning: RS_AUDIO_SOURCE's external 5.1 input,
// and the RS_SIGNAL_TYPE values of Dolby Digital and DTS material, which has a direct mode of
// its own.
constexpr std::uint8_t kSourceExt51 = 64;
constexpr std::uint8_t kSignalDolbyDigital = 3;
constexpr std::uint8_t kSignalDts = 4;

constexpr bool IsDolbyDigitalOrDts(std::uint8_t signalType) {
    return signalType == kSignalDolbyDigital || signalType == kSignalDts;
}

constexpr bool IsRegisterCode(std::uint8_t code) {
    return code >= kFirstRegister && code <= kLastRegister;
}

// The register's name as the program's identifiers spell it ("RS_VOLUME"); "" for no register.
const char* RegisterName(std::uint8_t code);

// Command codes: each is the equivalent of a key of the device's remote control or front panel.
namespace cmd {
constexpr std::uint8_t kNamesTransferDone = 0x01;
constexpr std::uint8_t kPowerToggle = 0x06;
constexpr std::uint8_t kMuteToggle = 0x07;
constexpr std::uint8_t kLateNightToggle = 0x0C;
constexpr std::uint8_t kVideo1 = 0x0D;
constexpr std::uint8_t kVideo2 = 0x0E;
constexpr std::uint8_t kVideo3 = 0x0F;
constexpr std::uint8_t kVideo4 = 0x10;
constexpr std::uint8_t kVideo5 = 0x11;
constexpr std::uint8_t kVideo6 = 0x12;
constexpr std::uint8_t kCd = 0x13;
constexpr std::uint8_t kAux = 0x14;
constexpr std::uint8_t kKnobUp = 0x15;
constexpr std::uint8_t kKnobDown = 0x16;
constexpr std::uint8_t kLevelsKey = 0x18;
constexpr std::uint8_t kDelayKey = 0x19;
constexpr std::uint8_t kTapeMonitorToggle = 0x1A;
constexpr std::uint8_t kThxKey = 0x1B;
constexpr std::uint8_t kTapeMonitorPanel = 0x1F;
constexpr std::uint8_t kStandby = 0x22;
constexpr std::uint8_t kWakeUp = 0x23;
constexpr std::uint8_t kTapeMonitorOff = 0x27;
constexpr std::uint8_t kTapeMonitorOn = 0x28;
constexpr std::uint8_t kMonoDownmix = 0x2A;
constexpr std::uint8_t kStereoDownmix = 0x2B;
constexpr std::uint8_t kDolbyPrologic = 0x2C;
constexpr std::uint8_t kSurround61 = 0x2D;
constexpr std::uint8_t kEars = 0x2E;
constexpr std::uint8_t kBypass = 0x2F;
constexpr std::uint8_t kVolumeUp = 0x31;
constexpr std::uint8_t kVolumeDown = 0x32;
constexpr std::uint8_t kBassUp = 0x44;
constexpr std::uint8_t kBassDown = 0x45;
constexpr std::uint8_t kTrebleUp = 0x46;
constexpr std::uint8_t kTrebleDown = 0x47;
constexpr std::uint8_t kTuner = 0x48;
constexpr std::uint8_t kSpeakersKey = 0x60;
constexpr std::uint8_t kSubwooferUp = 0x61;
constexpr std::uint8_t kSubwooferDown = 0x62;
constexpr std::uint8_t kExt51 = 0x64;
constexpr std::uint8_t kToneKey = 0x73;
constexpr std::uint8_t kAudioKey = 0x74;
constexpr std::uint8_t kVideoKey = 0x75;
constexpr std::uint8_t kMultiSourceKey = 0x76;
constexpr std::uint8_t kModeKey = 0x77;
constexpr std::uint8_t kBrightness = 0x79;
constexpr std::uint8_t kCenterUp = 0x81;
constexpr std::uint8_t kCenterDown = 0x82;
constexpr std::uint8_t kSurroundUp = 0x83;
constexpr std::uint8_t kSurroundDown = 0x84;
constexpr std::uint8_t kZoneVolumeUp = 0x8B;
constexpr std::uint8_t kZoneVolumeDown = 0x8C;
constexpr std::uint8_t kZoneSourceNext = 0x8D;
constexpr std::uint8_t kRefresh = 0xE3;
}  // namespace cmd

// The command's meaning in words ("volume up"); "unknown command" for a code the device
// doesn't take.
const char* CommandName(std::uint8_t code);

// Five bytes that the program sends for a command; no checksum.
using CommandFrame = std::array<std::uint8_t, 5>;
constexpr std::uint8_t kCommandStart = 0xE0;
constexpr CommandFrame MakeCommandFrame(std::uint8_t code) {
    return {kCommandStart, 0x52 /* R */, 0x53 /* S */, 0x21 /* ! */, code};
}

// Three bytes that the device sends for a register: code, value, end byte 0xFF. As the result
// of receiving, all three are zero when no frame was taken; a caller tells a frame by its
// nonzero end byte.
struct RegisterFrame {
    std::uint8_t code = 0;
    std::uint8_t value = 0;
    std::uint8_t end = 0;
    bool Taken() const { return end != 0; }
};
constexpr std::uint8_t kFrameEnd = 0xFF;
// The device also sends this two-byte unit, which carries nothing for the program.
constexpr std::uint8_t kFillerFirst = 0xDF;

// Raw bytes of the names-memory transfer, sent without the command frame.
namespace names_bytes {
constexpr std::uint8_t kDownloadRequest = 0xDC;
constexpr std::uint8_t kUploadStart = 0xDD;
constexpr std::array<std::uint8_t, 7> kWriteKey = {0x3B, 0x91, 0x5E, 0x27, 0xA4, 0x0F, 0x6C};
constexpr std::uint8_t kSourceNames = 0xCF;     // 112 bytes follow
constexpr std::uint8_t kWelcomeMessage = 0xCA;  // 40 bytes follow
constexpr std::uint8_t kStandbyMessage = 0xCB;  // 40 bytes follow
constexpr std::uint8_t kUploadEnd = 0xD4;
}  // namespace names_bytes

// Where the names and messages lie in the device's 1024-byte names memory.
namespace names_layout {
constexpr int kImageSize = 1024;
constexpr int kWelcomeOffset = 400;  // two lines of 20
constexpr int kStandbyOffset = 440;  // two lines of 20
constexpr int kMessageLength = 40;
constexpr int kLineLength = 20;
constexpr int kSourceTableOffset = 702;
constexpr int kSourceTableLength = 112;  // nine names of 7, then 49 bytes kept as they are
constexpr int kNameLength = 7;
constexpr int kNameCount = 9;
}  // namespace names_layout

}  // namespace r512
