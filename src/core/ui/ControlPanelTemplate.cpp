#include "ui/ControlPanelTemplate.h"

#include "ui/ResourceIds.h"

namespace r512 {

namespace {

using K = ControlKind;
constexpr int S = kStaticId;
// A static text starts a group of its own: the arrow keys never reach it.
constexpr std::uint16_t kText = kGroupStart;
// A read-only field, a group of its own with a Tab stop.
constexpr std::uint16_t kField = kGroupStart | kTabStop | kReadOnly;
// A check box, or the first button of a radio group: one Tab stop for the group.
constexpr std::uint16_t kFirst = kGroupStart | kTabStop;

constexpr DialogItem kItems[] = {
    {S, K::GroupBox, "Main", 5, 5, 200, 140},
    {S, K::Label, "Volume:", 10, 15, 26, 8, kText},
    {IDC_VOLUME, K::Edit, "", 40, 15, 30, 12, kField},
    {IDC_VOLUME_SPIN, K::UpDown, "", 65, 15, 11, 10},
    {IDC_MUTE, K::CheckBox, "Mute", 75, 15, 32, 10, kFirst},
    {IDC_LATE_NIGHT, K::CheckBox, "Late Night", 110, 15, 49, 10, kFirst},
    {IDC_SOURCE_VIDEO_1, K::RadioButton, "Video 1", 10, 30, 40, 10, kFirst},
    {IDC_SOURCE_VIDEO_2, K::RadioButton, "Video 2", 10, 40, 40, 10},
    {IDC_SOURCE_VIDEO_3, K::RadioButton, "Video 3", 10, 50, 40, 10},
    {IDC_SOURCE_VIDEO_4, K::RadioButton, "Video 4", 10, 60, 40, 10},
    {IDC_SOURCE_VIDEO_5, K::RadioButton, "Video 5", 10, 70, 40, 10},
    {IDC_SOURCE_VIDEO_6, K::RadioButton, "Video 6", 10, 80, 40, 10},
    {IDC_SOURCE_CD, K::RadioButton, "CD", 10, 90, 26, 10},
    {IDC_SOURCE_AUX, K::RadioButton, "Aux", 10, 100, 28, 10},
    {IDC_SOURCE_TUNER, K::RadioButton, "Tuner", 10, 110, 35, 10},
    {IDC_SOURCE_EXT_51, K::RadioButton, "Ext 5.1", 10, 120, 38, 10},
    {IDC_TAPE_MONITOR, K::CheckBox, "Tape Monitor", 10, 130, 58, 10, kFirst},
    {IDC_MODE_STEREO_DIRECT, K::RadioButton, "Stereo/Direct", 70, 30, 59, 10, kFirst},
    {IDC_MODE_STEREO_DOWNMIX, K::RadioButton, "Stereo Downmix", 70, 40, 67, 10},
    {IDC_MODE_MONO_DOWNMIX, K::RadioButton, "Mono Downmix", 70, 50, 65, 10},
    {IDC_MODE_BYPASS, K::RadioButton, "Bypass", 70, 60, 39, 10},
    {IDC_MODE_EARS, K::RadioButton, "Ears", 70, 70, 30, 10},
    {IDC_MODE_PROLOGIC, K::RadioButton, "Dolby Prologic", 70, 80, 61, 10},
    {IDC_MODE_SURROUND_61, K::RadioButton, "Surround 6.1", 70, 90, 57, 10},
    {IDC_THX_OFF, K::RadioButton, "THX Off", 70, 110, 42, 10, kFirst},
    {IDC_THX_ON, K::RadioButton, "THX On", 70, 120, 42, 10},
    {IDC_THX_SURROUND_EX, K::RadioButton, "THX Surr Ex", 70, 130, 55, 10},
    {S, K::Label, "Treble:", 145, 30, 23, 8, kText},
    {IDC_TREBLE, K::Edit, "", 171, 30, 30, 12, kField},
    {IDC_TREBLE_SPIN, K::UpDown, "", 195, 30, 11, 10},
    {S, K::Label, "Bass:", 145, 45, 18, 8, kText},
    {IDC_BASS, K::Edit, "", 171, 45, 30, 12, kField},
    {IDC_BASS_SPIN, K::UpDown, "", 195, 45, 11, 10},
    {S, K::Label, "Sub.W:", 145, 65, 25, 8, kText},
    {IDC_SUBWOOFER, K::Edit, "", 171, 65, 30, 12, kField},
    {IDC_SUBWOOFER_SPIN, K::UpDown, "", 195, 65, 11, 10},
    {S, K::Label, "Center:", 145, 80, 24, 8, kText},
    {IDC_CENTER, K::Edit, "", 171, 80, 30, 12, kField},
    {IDC_CENTER_SPIN, K::UpDown, "", 195, 80, 11, 10},
    {S, K::Label, "Surr:", 145, 95, 16, 8, kText},
    {IDC_SURROUND, K::Edit, "", 171, 95, 30, 12, kField},
    {IDC_SURROUND_SPIN, K::UpDown, "", 195, 95, 11, 10},
    {S, K::GroupBox, "Multi Source", 210, 5, 110, 140},
    {S, K::Label, "Volume:", 215, 15, 26, 8, kText},
    {IDC_ZONE_VOLUME, K::Edit, "", 245, 15, 30, 12, kField},
    {IDC_ZONE_VOLUME_SPIN, K::UpDown, "", 270, 15, 11, 10},
    {IDC_ZONE_MUTE, K::CheckBox, "Mute*", 280, 15, 35, 10, kFirst},
    {IDC_ZONE_SOURCE_VIDEO_1, K::RadioButton, "Video 1", 215, 30, 40, 10, kFirst},
    {IDC_ZONE_SOURCE_VIDEO_2, K::RadioButton, "Video 2", 215, 40, 40, 10},
    {IDC_ZONE_SOURCE_VIDEO_3, K::RadioButton, "Video 3", 215, 50, 40, 10},
    {IDC_ZONE_SOURCE_VIDEO_4, K::RadioButton, "Video 4", 215, 60, 40, 10},
    {IDC_ZONE_SOURCE_VIDEO_5, K::RadioButton, "Video 5", 215, 70, 40, 10},
    {IDC_ZONE_SOURCE_VIDEO_6, K::RadioButton, "Video 6", 215, 80, 40, 10},
    {IDC_ZONE_SOURCE_CD, K::RadioButton, "CD", 215, 90, 26, 10},
    {IDC_ZONE_SOURCE_AUX, K::RadioButton, "Aux", 215, 100, 28, 10},
    {IDC_ZONE_SOURCE_TUNER, K::RadioButton, "Tuner", 215, 110, 35, 10},
    {S, K::GroupBox, "Other", 325, 40, 55, 105},
    {IDC_POWER_ON, K::CheckBox, "Power On", 331, 50, 47, 10, kFirst},
    {IDC_DIMMER, K::CheckBox, "Dimmer", 331, 65, 39, 10, kFirst},
    {IDC_TRIGGER_1, K::CheckBox, "Trigger 1", 331, 80, 44, 10, kFirst},  // shown, not switched
    {IDC_TRIGGER_2, K::CheckBox, "Trigger 2", 331, 95, 44, 10, kFirst},
    {S, K::GroupBox, "Signal Status", 5, 145, 375, 40},
    {S, K::Label, "Audio Input:", 10, 155, 39, 8, kText},
    {IDC_AUDIO_INPUT, K::Edit, "", 60, 155, 120, 12, kField},
    {S, K::Label, "Audio Format:", 10, 170, 44, 8, kText},
    {IDC_AUDIO_FORMAT, K::Edit, "", 60, 170, 120, 12, kField},
    {S, K::Label, "Video Input:", 195, 155, 39, 8, kText},
    {IDC_VIDEO_INPUT, K::Edit, "", 250, 155, 120, 12, kField},
    {S, K::Label, "Video Format:", 195, 170, 44, 8, kText},
    {IDC_VIDEO_FORMAT, K::Edit, "", 250, 170, 120, 12, kField},
    {IDC_REFRESH, K::DefaultButton, "Refresh", 331, 5, 50, 14, kTabStop},
    {IDC_CANCEL, K::PushButton, "Close", 331, 20, 50, 14, kTabStop},
    {S, K::Label,
     "* You must change the Multi Source Volume before you can toggle Multi Source Mute.", 265, 35,
     45, 65, kText},
};

}  // namespace

constexpr DialogTemplate kControlPanelTemplate{"R512 Control Panel", 387, 191, kItems};

}  // namespace r512
