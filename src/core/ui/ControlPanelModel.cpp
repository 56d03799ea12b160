#include "ui/ControlPanelModel.h"

#include "device/Protocol.h"
#include "device/ValuePresentation.h"
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
