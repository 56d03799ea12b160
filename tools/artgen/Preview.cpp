#include "Preview.h"

#include "FontStrip.h"
#include "PanelGeometry.h"

#include <QPainter>

namespace artgen {

QImage composeWindow(const QImage& skin, const QImage& fontStrip, const QImage& minimize,
                     const QImage& close, const QByteArray& line0, const QByteArray& line1) {
    QImage out = skin.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    p.drawImage(kMinimize.left, kMinimize.top, minimize);
    p.drawImage(kClose.left, kClose.top, close);
    const QByteArray lines[2] = {line0, line1};
    for (int line = 0; line < 2; ++line) {
        for (int column = 0; column < 20; ++column) {
            const int code = column < lines[line].size() ? int(lines[line][column]) : 0;
            const int cell =
                code >= kFirstCode && code < kFirstCode + kCellCount ? code - kFirstCode : 0;
            p.drawImage(kDisplay.left + column * kCellWidth, kDisplay.top + line * kCellHeight,
                        fontStrip, cell * kCellWidth, 0, kCellWidth, kCellHeight);
        }
    }
    return out;
}

QImage composeSheet(const QList<QImage>& images) {
    int width = 8, height = 0;
    for (const QImage& i : images) {
        width += i.width() + 8;
        height = std::max(height, i.height());
    }
    QImage out(width, height + 16, QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            out.setPixel(x, y, ((x / 4 + y / 4) % 2) ? qRgb(150, 170, 150) : qRgb(90, 100, 90));
    QPainter p(&out);
    int x = 8;
    for (const QImage& i : images) {
        p.drawImage(x, 8, i);
        x += i.width() + 8;
    }
    return out;
}

QImage enlarge(const QImage& image, int factor) {
    return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

}  // namespace artgen
