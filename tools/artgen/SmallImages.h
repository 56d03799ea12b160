// The small pictures besides the skin: caption buttons, cursors and the program icon.
#pragma once

#include <QImage>
#include <QList>
#include <QRgb>

namespace artgen {

enum class CaptionSymbol { Minimize, Close };

inline constexpr int kCaptionWidth = 16;
inline constexpr int kCaptionHeight = 14;

// A caption button in true colour (Format_RGB32): raised when !down, sunken with its symbol one
// pixel right and down when down. The symbol is pure black and nothing else is.
QImage renderCaptionButton(CaptionSymbol symbol, bool down);

// 32 x 32 ARGB cursors. The knob cursor turns the knob down (anticlockwise arrow); its mirror
// image turns it up.
QImage renderHandCursor();
QImage renderKnobDownCursor();

// The program icon at 32 x 32 or 16 x 16, ARGB.
QImage renderIcon(int size);

// A Windows .ico file holding the given images (each at most 256 x 256) as 32-bit entries.
QByteArray encodeIco(const QList<QImage>& images);

// A Windows .cur file holding one 32-bit image with its hot spot: the same picture as a PNG
// cursor of the Qt front end, for the Win32 front end, which loads cursors in this format.
QByteArray encodeCur(const QImage& image, int hotSpotX, int hotSpotY);

}  // namespace artgen
