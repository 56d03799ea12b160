// Writer for uncompressed 8-bit BMP files with a colour table. Written by hand rather than with
// QImageWriter so the header is exactly what the program's loader is promised: 8 bits per pixel,
// BI_RGB, bottom-up rows, and a colour table of the image's own length (biClrUsed).
#pragma once

#include <QImage>
#include <QString>

namespace artgen {

// `image` must be Format_Indexed8; returns false when the file cannot be written.
bool writeIndexedBmp(const QImage& image, const QString& path);

}  // namespace artgen
