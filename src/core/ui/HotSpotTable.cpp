#include "ui/HotSpotTable.h"

#include "device/Protocol.h"

namespace r512 {

bool HotSpotRegion::Contains(int x, int y) const {
    const bool clipped = clip.right > clip.left && clip.bottom > clip.top;
    if (clipped && !clip.Contains(x, y)) return false;
    if (!ellipse.Contains(x, y)) return false;
    // The pixel's centre against the ellipse inscribed in the box.
    const double cx = (ellipse.left + ellipse.right) / 2.0;
    const double cy = (ellipse.top + ellipse.bottom) / 2.0;
    const double rx = (ellipse.right - ellipse.left) / 2.0;
    const double ry = (ellipse.bottom - ellipse.top) / 2.0;
    const double dx = (x + 0.5 - cx) / rx;
    const double dy = (y + 0.5 - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

const std::array<HotSpot, 13>& HotSpots() {
    using RC = RightClick;
    using HC = PanelCursor;
    constexpr Rect kKnob{647, 51, 715, 119};
    static const std::array<HotSpot, 13> kTable = {{
        {"Standy Toggle",
         {{52, 67, 86, 100}, {}},
         cmd::kPowerToggle,
         RC::PowerMenu,
         HC::Hand,
         false},
        {"Audio", {{200, 100, 218, 118}, {}}, cmd::kAudioKey, RC::AudioMenu, HC::Hand, false},
        {"Video", {{239, 100, 257, 118}, {}}, cmd::kVideoKey, RC::VideoMenu, HC::Hand, false},
        {"Tape Monitor",
         {{278, 100, 295, 118}, {}},
         cmd::kTapeMonitorToggle,
         RC::TapeMonitorMenu,
         HC::Hand,
         false},
        {"Multi Source",
         {{317, 100, 335, 118}, {}},
         cmd::kMultiSourceKey,
         RC::MultiSourceMenu,
         HC::Hand,
         false},
        {"Speakers", {{356, 100, 374, 118}, {}}, cmd::kSpeakersKey, RC::None, HC::Hand, false},
        {"Delay", {{395, 100, 413, 118}, {}}, cmd::kDelayKey, RC::None, HC::Hand, false},
        {"Levels", {{434, 100, 452, 118}, {}}, cmd::kLevelsKey, RC::LevelsPopup, HC::Hand, false},
        {"Brightness", {{473, 100, 491, 118}, {}}, cmd::kBrightness, RC::None, HC::Hand, false},
        {"Tone", {{511, 100, 530, 118}, {}}, cmd::kToneKey, RC::TonePopup, HC::Hand, false},
        {"Mode", {{551, 100, 569, 118}, {}}, cmd::kModeKey, RC::ModeMenu, HC::Hand, false},
        {"Control -", {kKnob, {647, 51, 680, 119}}, cmd::kKnobDown, RC::None, HC::KnobDown, true},
        {"Control +", {kKnob, {682, 51, 715, 119}}, cmd::kKnobUp, RC::None, HC::KnobUp, true},
    }};
    return kTable;
}

int HitHotSpot(int x, int y) {
    const auto& spots = HotSpots();
    for (std::size_t i = 0; i < spots.size(); ++i) {
        if (spots[i].region.Contains(x, y)) return static_cast<int>(i);
    }
    return -1;
}

const std::array<CaptionButtonGeometry, 2>& CaptionButtons() {
    static const std::array<CaptionButtonGeometry, 2> kButtons = {{
        {"Minimize", {721, 4, 736, 19}},
        {"Close", {755, 4, 770, 19}},
    }};
    return kButtons;
}

int HitCaptionButton(int x, int y) {
    const auto& buttons = CaptionButtons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i].rect.Contains(x, y)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace r512
