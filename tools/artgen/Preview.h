// Previews for a person to look at, never shipped: the skin as the window shows it, with the
// caption buttons and a line of text drawn from the font strip, enlarged without smoothing.
#pragma once

#include <QImage>
#include <QString>

namespace artgen {

// The skin with the two caption buttons (up) and the two display lines drawn cell by cell from
// the font strip, the way the display child paints them.
QImage composeWindow(const QImage& skin, const QImage& fontStrip, const QImage& minimize,
                     const QImage& close, const QByteArray& line0, const QByteArray& line1);

// Every small picture side by side on a checkerboard, so transparency shows.
QImage composeSheet(const QList<QImage>& images);

QImage enlarge(const QImage& image, int factor);

}  // namespace artgen
