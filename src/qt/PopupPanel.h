#pragma once

#include <QDialog>

#include "ui/DialogTemplate.h"

namespace r512 {

// A tiny caption-less panel, in the raised frame of a dialog, of "-" and "+" buttons beside
// centred labels. It does nothing with the device: a click posts the button's command
// identifier (also its "controlId" property) to the owner (the remote window), whose command
// set sends the device command. It hides as soon as it loses activation, and on Escape.
class PopupPanel : public QDialog {
public:
    PopupPanel(QWidget* owner, const DialogTemplate& layout);

    // Puts the panel's top-left corner at the given screen point (not moved back onto the
    // screen) and shows and activates it.
    void ShowAt(const QPoint& globalPosition);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// Treble and bass; its object name is "tone".
class ToneDialog final : public PopupPanel {
public:
    explicit ToneDialog(QWidget* owner);
};

// Subwoofer, centre and surround levels; its object name is "levels".
class LevelsDialog final : public PopupPanel {
public:
    explicit LevelsDialog(QWidget* owner);
};

}  // namespace r512
