#include "IndexedBmp.h"

#include <QByteArray>
#include <QFile>

#include <cstdint>

namespace artgen {

namespace {

void put16(QByteArray& out, std::uint16_t v) {
    out.append(char(v & 0xff));
    out.append(char(v >> 8));
}

void put32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xff));
}

}  // namespace

bool writeIndexedBmp(const QImage& image, const QString& path) {
    if (image.format() != QImage::Format_Indexed8) return false;
    const auto colours = std::uint32_t(image.colorCount());
    const auto width = std::uint32_t(image.width());
    const auto height = std::uint32_t(image.height());
    const std::uint32_t stride = (width + 3) & ~3u;  // rows are padded to four bytes
    const std::uint32_t offset = 14 + 40 + 4 * colours;
    const std::uint32_t pixelBytes = stride * height;

    QByteArray out;
    out.append("BM");
    put32(out, offset + pixelBytes);
    put32(out, 0);  // two reserved words
    put32(out, offset);

    put32(out, 40);  // BITMAPINFOHEADER
    put32(out, width);
    put32(out, height);  // positive: bottom-up
    put16(out, 1);       // planes
    put16(out, 8);       // bits per pixel
    put32(out, 0);       // BI_RGB, no compression
    put32(out, pixelBytes);
    put32(out, 2835);  // 72 dpi, in pixels per metre
    put32(out, 2835);
    put32(out, colours);
    put32(out, 0);  // all colours important

    for (QRgb c : image.colorTable()) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }
    for (int y = int(height) - 1; y >= 0; --y) {
        out.append(reinterpret_cast<const char*>(image.constScanLine(y)), int(width));
        out.append(QByteArray(int(stride - width), '\0'));
    }

    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

}  // namespace artgen
