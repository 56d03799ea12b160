#include "qt/DialogNavigation.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <algorithm>

namespace r512 {

namespace {

// The arrow keys as the dialog's navigation takes them: no modifier but the keypad's.
int ArrowDirection(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return 0;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return 0;
    switch (key->key()) {
        case Qt::Key_Down:
        case Qt::Key_Right:
            return +1;
        case Qt::Key_Up:
        case Qt::Key_Left:
            return -1;
        default:
            return 0;
    }
}

// Swallows the arrow keys of the controls it watches.
class ArrowSink final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return ArrowDirection(event) != 0 || QObject::eventFilter(watched, event);
    }
};

}  // namespace

RadioGroupKeys::RadioGroupKeys(std::vector<QAbstractButton*> buttons, RadioKind kind)
    : QObject(buttons.empty() ? nullptr : buttons.front()),
      buttons_(std::move(buttons)),
      kind_(kind) {
    for (QAbstractButton* button : buttons_) {
        button->installEventFilter(this);
        // Checked by a click, an arrow or the program alike: the Tab stop follows the mark.
        connect(button, &QAbstractButton::toggled, this, [this] { UpdateTabStop(); });
    }
    UpdateTabStop();
}

QAbstractButton* RadioGroupKeys::TabStop() const {
    const auto checked = std::find_if(buttons_.begin(), buttons_.end(),
                                      [](const QAbstractButton* b) { return b->isChecked(); });
    if (checked != buttons_.end()) return *checked;
    return buttons_.empty() ? nullptr : buttons_.front();
}

void RadioGroupKeys::UpdateTabStop() {
    // The other buttons still take the focus from a click or an arrow, but Tab passes them.
    const QAbstractButton* stop = TabStop();
    for (QAbstractButton* button : buttons_)
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool RadioGroupKeys::eventFilter(QObject* watched, QEvent* event) {
    const int direction = ArrowDirection(event);
    if (direction == 0) return QObject::eventFilter(watched, event);
    Move(static_cast<QAbstractButton*>(watched), direction > 0);
    return true;  // handled here, so the arrow never leaves the group
}

void RadioGroupKeys::Move(QAbstractButton* from, bool forward) {
    const auto at = std::find(buttons_.begin(), buttons_.end(), from);
    if (at == buttons_.end()) return;
    const auto count = static_cast<std::ptrdiff_t>(buttons_.size());
    const std::ptrdiff_t start = at - buttons_.begin();
    for (std::ptrdiff_t step = 1; step < count; ++step) {
        const std::ptrdiff_t index = ((start + (forward ? step : -step)) % count + count) % count;
        QAbstractButton* next = buttons_[static_cast<std::size_t>(index)];
        if (!next->isEnabled() || !next->isVisibleTo(next->window())) continue;
        next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        // An automatic button is pressed only to check it; a plain one always reports it.
        if (kind_ == RadioKind::Plain || !next->isChecked()) next->click();
        return;
    }
}

void KeepArrowsOnControl(QAbstractButton* control) {
    control->installEventFilter(new ArrowSink(control));
}

}  // namespace r512
