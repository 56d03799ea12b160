#include "device/ValuePresentation.h"

#include <cstdio>

#include "device/Protocol.h"

namespace r512 {

namespace {

std::string Numbered(const char* format, unsigned value) {
    char text[32];
    std::snprintf(text, sizeof text, format, static_cast<int>(value));
    return text;
}

template <std::size_t N>
std::string FromTable(const char* const (&table)[N], unsigned value) {
    return value < N ? std::string(table[value]) : Numbered("Type %d", value);
}

constexpr const char* kModes[16] = {
    "Stereo", "[] PL",   "Mode 2", "Mode 3",  "Mode 4", "Mode 5",  "Mode 6",  "Mono",
    "Mode 8", "Surr 6@", "Ears",   "Mode 11", "Stereo", "Mode 13", "Mode 14", "Bypass",
};
constexpr const char* kSignalTypes[9] = {
    "Type 0", "Zero Signal", "Digital PCM", "Dolby Digit.", "dts",
    "MPEG",   "Noise",       "Analog",      "Digital Err.",
};
constexpr const char* kAudioInputs[6] = {
    "Analog", "Coaxial", "Optical", "RF demodulator (AC-3)", "AES/EBU", "Balanced Analog",
};
constexpr const char* kVideoInputs[3] = {"Unknown/No Input Signal", "Composite", "S-Video"};
constexpr const char* kTvSystems[3] = {"Unknown", "PAL", "NTSC"};

}  // namespace

int DisplayValue(unsigned value, unsigned registerCode) {
    const int v = static_cast<int>(value & 0xFF);
    switch (registerCode & 0xFF) {
        case RS_VOLUME:
        case RS_ZONE_VOLUME:
            return v - 100;
        case RS_TREBLE:
        case RS_BASS:
        case RS_CENTER:
        case RS_SURROUND:
        case RS_SUBWOOFER:
            return v - 12;
        default:
            return v;
    }
}

std::string SourceName(unsigned value) {
    value &= 0xFF;
    if (value >= 1 && value <= 6) return Numbered("Video %d", value);
    switch (value) {
        case 7:
            return "CD";
        case 8:
            return "Aux";
        case 9:
            return "Tuner";
        case kSourceExt51:
            return "Ext 5.1";
        default:
            return "";
    }
}

std::string ModeName(unsigned value) {
    value &= 0xFF;
    return value < 16 ? std::string(kModes[value]) : Numbered("Mode %d", value);
}

std::string SignalTypeName(unsigned value) { return FromTable(kSignalTypes, value & 0xFF); }
std::string AudioInputName(unsigned value) { return FromTable(kAudioInputs, value & 0xFF); }
std::string VideoInputName(unsigned value) { return FromTable(kVideoInputs, value & 0xFF); }
std::string TvSystemName(unsigned value) { return FromTable(kTvSystems, value & 0xFF); }

}  // namespace r512
