#include "ui/MenuTable.h"

#include "ui/CommandSet.h"

namespace r512 {

const MenuDefinition& FileMenu() {
    static const MenuDefinition kMenu{"File",
                                      {{"Configure", ID_CONFIGURE},
                                       {"Control Panel", ID_CONTROL_PANEL},
                                       {"Names", ID_NAMES},
                                       {"Refresh", ID_REFRESH},
                                       {nullptr, 0},
                                       {"About", ID_ABOUT},
                                       {"Exit", ID_EXIT}}};
    return kMenu;
}

const MenuDefinition* HotSpotMenu(RightClick kind) {
    static const MenuDefinition kPower{"Power",
                                       {{"Wake Up", ID_POWER_WAKE_UP},
                                        {"Standby", ID_POWER_STANDBY},
                                        {nullptr, 0},
                                        {"Toggle", ID_POWER_TOGGLE}}};
    static const MenuDefinition kAudio{
        "Audio", {{"CD", ID_AUDIO_CD}, {"Aux", ID_AUDIO_AUX}, {"Tuner", ID_AUDIO_TUNER}}};
    static const MenuDefinition kVideo{"Video",
                                       {{"Video 1", ID_VIDEO_1},
                                        {"Video 2", ID_VIDEO_2},
                                        {"Video 3", ID_VIDEO_3},
                                        {"Video 4", ID_VIDEO_4},
                                        {"Video 5", ID_VIDEO_5},
                                        {"Video 6", ID_VIDEO_6}}};
    static const MenuDefinition kTape{"Tape Monitor",
                                      {{"Tape Monitor On", ID_TAPE_ON},
                                       {"Tape Monitor Off", ID_TAPE_OFF},
                                       {nullptr, 0},
                                       {"Tape Monitor Toggle", ID_TAPE_TOGGLE}}};
    static const MenuDefinition kZone{"Multi Source",
                                      {{"Video 1", ID_ZONE_VIDEO_1},
                                       {"Video 2", ID_ZONE_VIDEO_2},
                                       {"Video 3", ID_ZONE_VIDEO_3},
                                       {"Video 4", ID_ZONE_VIDEO_4},
                                       {"Video 5", ID_ZONE_VIDEO_5},
                                       {"Video 6", ID_ZONE_VIDEO_6},
                                       {"CD", ID_ZONE_CD},
                                       {"Aux", ID_ZONE_AUX},
                                       {"Tuner", ID_ZONE_TUNER}}};
    static const MenuDefinition kMode{"Mode",
                                      {{"Stereo/Direct", ID_MODE_STEREO_DIRECT},
                                       {"Stereo Downmix", ID_MODE_STEREO_DOWNMIX},
                                       {"Mono Downmix", ID_MODE_MONO_DOWNMIX},
                                       {"Bypass", ID_MODE_BYPASS},
                                       {"Ears", ID_MODE_EARS},
                                       {"Dolby Prologic", ID_MODE_PROLOGIC},
                                       {"Surround 6.1", ID_MODE_SURROUND_61},
                                       {nullptr, 0},
                                       {"THX Off", ID_THX_OFF},
                                       {"THX On", ID_THX_ON},
                                       {"THX Surround EX", ID_THX_SURROUND_EX}}};
    switch (kind) {
        case RightClick::FileMenu:
            return &FileMenu();
        case RightClick::PowerMenu:
            return &kPower;
        case RightClick::AudioMenu:
            return &kAudio;
        case RightClick::VideoMenu:
            return &kVideo;
        case RightClick::TapeMonitorMenu:
            return &kTape;
        case RightClick::MultiSourceMenu:
            return &kZone;
        case RightClick::ModeMenu:
            return &kMode;
        default:
            return nullptr;
    }
}

}  // namespace r512
