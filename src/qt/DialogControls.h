#pragma once

#include <QCheckBox>
#include <QRadioButton>
#include <QToolButton>
#include <QWidget>
#include <functional>

#include "ui/DialogUnits.h"

namespace r512 {

// Check boxes and radio buttons that never change their own mark when clicked: they report the
// click, and show only what the program sets (the device's last report).
class StaticCheckBox final : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

class StaticRadioButton final : public QRadioButton {
public:
    explicit StaticRadioButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
        setAutoExclusive(false);  // the program checks one button of the group itself
    }

protected:
    void nextCheckState() override {}
};

// A pair of arrows beside a number field: each press (held: repeated at the platform's rate)
// proposes a change of position, -1 for the up arrow and +1 for the down arrow, as do the Up
// and Down keys in the field. It never writes into the field.
class UpDownControl final : public QWidget {
public:
    UpDownControl(QWidget* buddy, QWidget* parent, std::function<void(int delta)> onChange);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(class QKeyEvent* event) override;
    void resizeEvent(class QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
    std::function<void(int)> onChange_;
};

// Places a widget at a rectangle given in dialog units.
inline void PlaceAt(QWidget* widget, const DialogUnits& units, int x, int y, int width,
                    int height) {
    const DialogUnits::PixelRect r = units.Rect(x, y, width, height);
    widget->setGeometry(r.x, r.y, r.width, r.height);
}

}  // namespace r512
