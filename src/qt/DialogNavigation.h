#pragma once

#include <QObject>
#include <vector>

class QAbstractButton;

namespace r512 {

// How the keyboard moves through the radio groups of a dialog, as its template lays them out
// (a group-flagged button and the buttons after it up to the next group):
// - the group is one Tab stop: its checked button, or its first button while none is checked;
// - the arrow keys move the focus to the next (Down, Right) or previous (Up, Left) enabled and
//   visible button of the group, wrapping at its ends, and never out of the group; the button
//   reached is pressed: an automatic button checks itself, a plain one reports the click and
//   leaves its check mark to the program (the Control Panel's, which follow the device).
enum class RadioKind { Automatic, Plain };

class RadioGroupKeys final : public QObject {
public:
    // The buttons in template order; the object lives as long as the first of them.
    RadioGroupKeys(std::vector<QAbstractButton*> buttons, RadioKind kind);

    // The button that Tab stops at now.
    QAbstractButton* TabStop() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateTabStop();
    void Move(QAbstractButton* from, bool forward);

    std::vector<QAbstractButton*> buttons_;
    RadioKind kind_;
};

// A control that is a group of its own (a check box): the arrow keys leave the focus where it
// is instead of moving it to a neighbouring control.
void KeepArrowsOnControl(QAbstractButton* control);

}  // namespace r512
