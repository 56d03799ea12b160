#pragma once

#include <QFont>
#include <QFontMetrics>

#include "ui/DialogUnits.h"

namespace r512 {

// The dialog units of a dialog font: its average width over the 52 letters, halved and rounded
// as the platform's dialog manager takes it, and its height.
inline DialogUnits DialogUnitsFor(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

// The font the program's dialogs are laid out in: the system's dialog face at 8 points.
inline QFont DialogFont() {
    QFont font;
    font.setPointSize(8);
    return font;
}

}  // namespace r512
