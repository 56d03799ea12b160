#include "device/RegisterText.h"

#include <cstdio>

#include "device/Protocol.h"
#include "device/ValuePresentation.h"

namespace r512 {

namespace {

// The display's signed number: "+3", "-35", and zero as "0".
std::string Signed(int value) {
    char text[16];
    std::snprintf(text, sizeof text, value == 0 ? "%d" : "%+d", value);
    return text;
}

std::string Labelled(const char* label, std::uint8_t code, std::uint8_t value) {
    return std::string(label) + " " + Signed(DisplayValue(value, code));
}

std::string OnOff(std::uint8_t value) { return value != 0 ? "on" : "off"; }

std::string OrNumber(std::string text, std::uint8_t value) {
    return text.empty() ? std::to_string(value) : text;
}

}  // namespace

std::string PlainPanelText(const std::string& mode) {
    std::string plain;
    for (std::size_t i = 0; i < mode.size(); ++i) {
        if (mode[i] == '[' && i + 1 < mode.size() && mode[i + 1] == ']') {
            plain += "DD";
            ++i;
        } else if (mode[i] == '@') {
            plain += ".1";
        } else {
            plain += mode[i];
        }
    }
    return plain;
}

std::string RegisterText(std::uint8_t code, std::uint8_t value) {
    switch (code) {
        case RS_VOLUME:
            return Labelled("vol:", code, value);
        case RS_ZONE_VOLUME:
            return Labelled("Z.v:", code, value);
        case RS_TREBLE:
            return Labelled("Treb", code, value);
        case RS_BASS:
            return Labelled("Bass", code, value);
        case RS_CENTER:
            return Labelled("Cntr", code, value);
        case RS_SURROUND:
            return Labelled("Surr", code, value);
        case RS_SUBWOOFER:
            return Labelled("Subw", code, value);
        case RS_AUDIO_SOURCE:
        case RS_VIDEO_SOURCE:
        case RS_ZONE_AUDIO_SOURCE:
        case RS_ZONE_VIDEO_SOURCE:
            return OrNumber(SourceName(value), value);
        case RS_OPER_MODE:
            return value != 0 ? "on" : "standby";
        case RS_COMPRESSION:
            return value != 0 ? "LateN On" : "LateN Off";
        case RS_STEREO_MODE:
            return PlainPanelText(ModeName(value));
        case RS_SIGNAL_TYPE:
            return SignalTypeName(value);
        case RS_AUDIO_INPUT_TYPE:
            return AudioInputName(value);
        case RS_VIDEO_INPUT_TYPE:
            return VideoInputName(value);
        case RS_TV_SYSTEM:
            return TvSystemName(value);
        case RS_THX:
            return value == 0   ? "off"
                   : value == 1 ? "THX"
                   : value == 2 ? "THX Surr EX"
                                : std::to_string(value);
        case RS_MUTE:
        case RS_ZONE_MUTE:
        case RS_DIMMER:
        case RS_TAPEMONITOR:
        case RS_TRIGGER1:
        case RS_TRIGGER2:
            return OnOff(value);
        default:
            return std::to_string(value);
    }
}

}  // namespace r512
