#include "ui/ControlPanelModel.h"

#include <algorithm>

#include "device/Protocol.h"
#include "device/ValuePresentation.h"
#include "ui/ControlPanelTemplate.h"
#include "ui/ResourceIds.h"

namespace r512 {

int ControlPanelModel::SourceIndex(std::uint8_t audioSource) {
    if (audioSource >= 1 && audioSource <= 9) return audioSource - 1;
    return audioSource == kSourceExt51 ? 9 : -1;
}

int ControlPanelModel::ModeIndex(std::uint8_t stereoMode) {
    // The buttons: Stereo/Direct, Stereo Downmix, Mono Downmix, Bypass, Ears, Dolby Prologic,
    // Surround 6.1.
    switch (stereoMode) {
        case 0:
            return 0;
        case 12:
            return 1;
        case 7:
            return 2;
        case 15:
            return 3;
        case 10:
            return 4;
        case 1:
            return 5;
        case 9:
            return 6;
        default:
            return -1;
    }
}

int ControlPanelModel::ZoneSourceIndex(std::uint8_t zoneSource) {
    return zoneSource >= 1 && zoneSource <= 9 ? zoneSource - 1 : -1;
}

int ControlPanelModel::ThxIndex(std::uint8_t thx) { return thx <= 2 ? thx : -1; }

void ControlPanelModel::Load(const RegisterMirror& m) {
    volume = DisplayValue(m.Value(RS_VOLUME), RS_VOLUME);
    mute = m.Value(RS_MUTE);
    bass = DisplayValue(m.Value(RS_BASS), RS_BASS);
    treble = DisplayValue(m.Value(RS_TREBLE), RS_TREBLE);
    dimmer = m.Value(RS_DIMMER);
    lateNight = m.Value(RS_COMPRESSION);
    powerOn = m.Value(RS_OPER_MODE);
    tapeMonitor = m.Value(RS_TAPEMONITOR);
    trigger1 = m.Value(RS_TRIGGER1);
    trigger2 = m.Value(RS_TRIGGER2);
    centre = DisplayValue(m.Value(RS_CENTER), RS_CENTER);
    subwoofer = DisplayValue(m.Value(RS_SUBWOOFER), RS_SUBWOOFER);
    surround = DisplayValue(m.Value(RS_SURROUND), RS_SURROUND);
    zoneVolume = DisplayValue(m.Value(RS_ZONE_VOLUME), RS_ZONE_VOLUME);
    zoneMute = m.Value(RS_ZONE_MUTE);
    sourceIndex = SourceIndex(m.Value(RS_AUDIO_SOURCE));
    modeIndex = ModeIndex(m.Value(RS_STEREO_MODE));
    zoneSourceIndex = ZoneSourceIndex(m.Value(RS_ZONE_AUDIO_SOURCE));
    thxIndex = ThxIndex(m.Value(RS_THX));
    audioFormat = SignalTypeName(m.Value(RS_SIGNAL_TYPE));
    audioInput = AudioInputName(m.Value(RS_AUDIO_INPUT_TYPE));
    videoFormat = TvSystemName(m.Value(RS_TV_SYSTEM));
    videoInput = VideoInputName(m.Value(RS_VIDEO_INPUT_TYPE));
}

std::vector<PanelControlValue> ControlPanelModel::ControlValues() const {
    using Kind = PanelControlValue::Kind;
    std::vector<PanelControlValue> values;
    auto number = [&](int id, int value) { values.push_back({id, Kind::Number, value, {}}); };
    // Only 1 shows a check mark.
    auto check = [&](int id, int value) { values.push_back({id, Kind::Check, value == 1, {}}); };
    // A group's buttons are those of the template from its first one up to the next group,
    // in the order of the model's indexes.
    auto radios = [&](int first, int selected) {
        const auto& items = kControlPanelTemplate.items;
        auto item = std::find_if(items.begin(), items.end(),
                                 [first](const DialogItem& i) { return i.id == first; });
        for (int index = 0; item != items.end() && item->kind == ControlKind::RadioButton;
             ++item, ++index) {
            if (index > 0 && (item->flags & kGroupStart)) break;  // the next group
            values.push_back({item->id, Kind::Radio, index == selected, {}});
        }
    };
    auto text = [&](int id, const std::string& value) {
        values.push_back({id, Kind::Text, 0, value});
    };
    number(IDC_VOLUME, volume);
    check(IDC_MUTE, mute);
    number(IDC_BASS, bass);
    number(IDC_TREBLE, treble);
    check(IDC_DIMMER, dimmer);
    check(IDC_LATE_NIGHT, lateNight);
    check(IDC_POWER_ON, powerOn);
    check(IDC_TAPE_MONITOR, tapeMonitor);
    check(IDC_TRIGGER_1, trigger1);
    check(IDC_TRIGGER_2, trigger2);
    number(IDC_CENTER, centre);
    number(IDC_SUBWOOFER, subwoofer);
    number(IDC_SURROUND, surround);
    number(IDC_ZONE_VOLUME, zoneVolume);
    check(IDC_ZONE_MUTE, zoneMute);
    radios(IDC_SOURCE_VIDEO_1, sourceIndex);
    radios(IDC_MODE_STEREO_DIRECT, modeIndex);
    radios(IDC_ZONE_SOURCE_VIDEO_1, zoneSourceIndex);
    radios(IDC_THX_OFF, thxIndex);
    text(IDC_AUDIO_FORMAT, audioFormat);
    text(IDC_AUDIO_INPUT, audioInput);
    text(IDC_VIDEO_FORMAT, videoFormat);
    text(IDC_VIDEO_INPUT, videoInput);
    return values;
}

int ZoneStepsFromPanel(int currentIndex, int targetIndex) {
    int steps = targetIndex - currentIndex;
    if (targetIndex < currentIndex) steps += 9;
    return steps > 0 ? steps : 0;
}

int UpDownCode(int upDownId, int delta) {
    if (delta == 0) return -1;
    const bool up = delta < 0;
    switch (upDownId) {
        case IDC_VOLUME_SPIN:
            return up ? cmd::kVolumeUp : cmd::kVolumeDown;
        case IDC_ZONE_VOLUME_SPIN:
            return up ? cmd::kZoneVolumeUp : cmd::kZoneVolumeDown;
        case IDC_TREBLE_SPIN:
            return up ? cmd::kTrebleUp : cmd::kTrebleDown;
        case IDC_BASS_SPIN:
            return up ? cmd::kBassUp : cmd::kBassDown;
        case IDC_CENTER_SPIN:
            return up ? cmd::kCenterUp : cmd::kCenterDown;
        case IDC_SURROUND_SPIN:
            return up ? cmd::kSurroundUp : cmd::kSurroundDown;
        case IDC_SUBWOOFER_SPIN:
            return up ? cmd::kSubwooferUp : cmd::kSubwooferDown;
        default:
            return -1;
    }
}

}  // namespace r512
