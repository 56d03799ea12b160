#include "ui/PanelPointer.h"

#include <algorithm>

namespace r512 {

namespace {

using Kind = PointerEffect::Kind;

PointerEffect Redraw(int caption) { return {.kind = Kind::RedrawCaption, .caption = caption}; }

const HotSpot& SpotAt(int index) { return HotSpots()[static_cast<std::size_t>(index)]; }

bool OverCaption(int index, int x, int y) {
    return CaptionButtons()[static_cast<std::size_t>(index)].rect.Contains(x, y);
}

}  // namespace

PointerEffects PanelPointer::Handle(PointerEvent event, PointerButton button, int x, int y) {
    switch (event) {
        case PointerEvent::Move:
            return Move(x, y);
        case PointerEvent::Release:
            return button == PointerButton::Left ? Release(x, y) : PointerEffects{};
        case PointerEvent::Press:
        case PointerEvent::DoubleClick:  // the panel knows no double click: a press like any other
            return Press(button, x, y);
    }
    return {};
}

PointerEffects PanelPointer::Press(PointerButton button, int x, int y) {
    const int caption = HitCaptionButton(x, y);
    const int spot = caption >= 0 ? -1 : HitHotSpot(x, y);
    if (button == PointerButton::Right) {
        PointerEffects effects = Cancel(RepeatStop::DialogOrMenu);  // a menu or a popup opens
        const RightClick opens = spot >= 0     ? SpotAt(spot).rightClick
                                 : caption < 0 ? RightClick::FileMenu
                                               : RightClick::None;
        if (opens != RightClick::None)
            effects.push_back({.kind = Kind::OpenMenu, .menu = opens, .x = x, .y = y});
        return effects;
    }
    if (button != PointerButton::Left) return {};
    if (caption >= 0) {
        armed_ = caption;
        down_ = captured_ = true;
        return {{.kind = Kind::Capture}, Redraw(caption)};
    }
    if (spot < 0) return {{.kind = Kind::StartDrag, .x = x, .y = y}};
    const HotSpot& hotSpot = SpotAt(spot);
    if (!hotSpot.repeat) return {{.kind = Kind::Send, .code = hotSpot.code}};
    repeat_.Start(spot, hotSpot.code);
    captured_ = true;
    return {{.kind = Kind::Send, .code = hotSpot.code}, {.kind = Kind::Capture}};
}

PointerEffects PanelPointer::Move(int x, int y) {
    PointerEffects effects;
    // Leaving the held knob half ends the repeat; coming back does not restart it.
    const int held = repeat_.HotSpot();
    if (held >= 0 && !SpotAt(held).region.Contains(x, y)) {
        repeat_.Stop(RepeatStop::LeftHalf);
        effects = Settle();
    }
    if (armed_ < 0) {
        effects.push_back({.kind = Kind::Cursor, .cursor = CursorAt(x, y)});
    } else if (OverCaption(armed_, x, y) != down_) {
        down_ = !down_;
        effects.push_back(Redraw(armed_));
    }
    return effects;
}

PointerEffects PanelPointer::Release(int x, int y) {
    if (repeat_.Held()) repeat_.Stop(RepeatStop::ButtonReleased);
    const int caption = armed_;
    armed_ = -1;
    down_ = false;
    PointerEffects effects = Settle();
    if (caption < 0) return effects;
    effects.push_back(Redraw(caption));
    if (OverCaption(caption, x, y))
        effects.push_back({.kind = caption == 0 ? Kind::Minimise : Kind::Close});
    return effects;
}

PointerEffects PanelPointer::Cancel(RepeatStop reason) {
    repeat_.Stop(reason);
    if (reason != RepeatStop::CaptureLost) return Settle();
    // The release will not come here: an armed caption button goes up without acting.
    captured_ = down_ = false;
    const int caption = armed_;
    armed_ = -1;
    return caption < 0 ? PointerEffects{} : PointerEffects{Redraw(caption)};
}

PointerEffects PanelPointer::Settle() {
    if (!captured_ || repeat_.Held() || armed_ >= 0) return {};
    captured_ = false;
    return {{.kind = Kind::ReleaseCapture}};
}

PanelCursor PanelPointer::CursorAt(int x, int y) {
    if (HitCaptionButton(x, y) >= 0) return PanelCursor::Arrow;
    const int spot = HitHotSpot(x, y);
    return spot < 0 ? PanelCursor::Body : SpotAt(spot).cursor;
}

std::vector<PanelTip> PanelPointer::Tips() {
    std::vector<PanelTip> tips;
    for (const CaptionButtonGeometry& button : CaptionButtons())
        tips.push_back({button.name, button.rect});
    for (const HotSpot& spot : HotSpots()) {
        // The ellipse's box, cut to the clip where there is one (each half of the knob).
        const Rect &box = spot.region.ellipse, &clip = spot.region.clip;
        const bool clipped = clip.right > clip.left && clip.bottom > clip.top;
        tips.push_back(
            {spot.name,
             clipped ? Rect{std::max(box.left, clip.left), std::max(box.top, clip.top),
                            std::min(box.right, clip.right), std::min(box.bottom, clip.bottom)}
                     : box});
    }
    return tips;
}

std::optional<PanelTip> PanelPointer::TipAt(int x, int y) {
    const int caption = HitCaptionButton(x, y);
    const int spot = caption >= 0 ? -1 : HitHotSpot(x, y);
    if (caption < 0 && spot < 0) return std::nullopt;
    return Tips()[static_cast<std::size_t>(caption >= 0 ? caption : 2 + spot)];
}

bool PanelPointer::OverBody(int x, int y) {
    return HitCaptionButton(x, y) < 0 && HitHotSpot(x, y) < 0;
}

}  // namespace r512
