#include "ui/PanelPointer.h"

namespace r512 {

namespace {

using Kind = PointerEffect::Kind;

PointerEffect Redraw(int caption) { return {.kind = Kind::RedrawCaption, .caption = caption}; }

const HotSpot& SpotAt(int index) { return HotSpots()[static_cast<std::size_t>(index)]; }

}  // namespace

PointerEffects PanelPointer::Press(PointerButton button, int x, int y) {
    const int caption = HitCaptionButton(x, y);
    const int spot = caption >= 0 ? -1 : HitHotSpot(x, y);

    if (button == PointerButton::Right) {
        PointerEffects effects = Cancel(RepeatStop::DialogOrMenu);  // a menu or a popup opens
        if (caption >= 0) return effects;
        const RightClick opens = spot < 0 ? RightClick::FileMenu : SpotAt(spot).rightClick;
        if (opens != RightClick::None)
            effects.push_back({.kind = Kind::OpenMenu, .menu = opens, .x = x, .y = y});
        return effects;
    }

    if (caption >= 0) {
        // Armed and drawn pressed; it acts only if the button is let go over it.
        captions_ = {};
        captions_[static_cast<std::size_t>(caption)] = {true, true};
        captured_ = true;
        return {{.kind = Kind::Capture}, Redraw(caption)};
    }
    if (spot < 0) return {{.kind = Kind::StartDrag, .x = x, .y = y}};

    const HotSpot& hotSpot = SpotAt(spot);
    PointerEffects effects{{.kind = Kind::Send, .code = hotSpot.code}};  // as the device's keys
    if (hotSpot.repeat) {
        repeat_.Start(spot, hotSpot.code);
        captured_ = true;
        effects.push_back({.kind = Kind::Capture});
    }
    return effects;
}

PointerEffects PanelPointer::Move(int x, int y) {
    PointerEffects effects;
    // Leaving the held knob half ends the repeat; coming back does not restart it.
    const int held = repeat_.HotSpot();
    if (held >= 0 && !SpotAt(held).region.Contains(x, y)) {
        repeat_.Stop(RepeatStop::LeftHalf);
        effects = Settle();
    }
    for (int i = 0; i < 2; ++i) {
        CaptionState& state = captions_[static_cast<std::size_t>(i)];
        if (!state.armed) continue;
        const bool inside = CaptionButtons()[static_cast<std::size_t>(i)].rect.Contains(x, y);
        if (inside != state.down) {
            state.down = inside;
            effects.push_back(Redraw(i));
        }
        return effects;  // the cursor stays while a caption button is held
    }
    effects.push_back({.kind = Kind::Cursor, .cursor = CursorAt(x, y)});
    return effects;
}

PointerEffects PanelPointer::Release(PointerButton button, int x, int y) {
    if (button != PointerButton::Left) return {};
    if (repeat_.Held()) {
        repeat_.Stop(RepeatStop::ButtonReleased);
        return Settle();
    }
    for (int i = 0; i < 2; ++i) {
        CaptionState& state = captions_[static_cast<std::size_t>(i)];
        if (!state.armed) continue;
        state = {};
        PointerEffects effects = Settle();
        effects.push_back(Redraw(i));
        if (CaptionButtons()[static_cast<std::size_t>(i)].rect.Contains(x, y))
            effects.push_back({.kind = i == 0 ? Kind::Minimise : Kind::Close});
        return effects;
    }
    return Settle();
}

PointerEffects PanelPointer::Cancel(RepeatStop reason) {
    repeat_.Stop(reason);
    PointerEffects effects;
    if (reason == RepeatStop::CaptureLost) {
        // Its release will not come here: an armed button goes up without acting.
        captured_ = false;
        for (int i = 0; i < 2; ++i) {
            CaptionState& state = captions_[static_cast<std::size_t>(i)];
            if (!state.armed) continue;
            state = {};
            effects.push_back(Redraw(i));
        }
    }
    const PointerEffects settled = Settle();
    effects.insert(effects.end(), settled.begin(), settled.end());
    return effects;
}

PointerEffects PanelPointer::Settle() {
    if (!captured_ || repeat_.Held() || captions_[0].armed || captions_[1].armed) return {};
    captured_ = false;
    return {{.kind = Kind::ReleaseCapture}};
}

PanelCursor PanelPointer::CursorAt(int x, int y) {
    if (HitCaptionButton(x, y) >= 0) return PanelCursor::Arrow;
    const int spot = HitHotSpot(x, y);
    if (spot < 0) return PanelCursor::Body;
    switch (SpotAt(spot).cursor) {
        case HotSpotCursor::Hand:
            return PanelCursor::Hand;
        case HotSpotCursor::KnobDown:
            return PanelCursor::KnobDown;
        case HotSpotCursor::KnobUp:
            return PanelCursor::KnobUp;
    }
    return PanelCursor::Arrow;
}

bool PanelPointer::OverBody(int x, int y) {
    return HitCaptionButton(x, y) < 0 && HitHotSpot(x, y) < 0;
}

}  // namespace r512
