#include "SmallImages.h"

#include "PanelGeometry.h"
#include "ui/ArtworkHotSpots.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdint>

namespace artgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

const QRgb kFace = qRgb(208, 210, 214);
const QRgb kLight = qRgb(250, 251, 253);
const QRgb kMid = qRgb(150, 152, 157);
const QRgb kDark = qRgb(66, 68, 73);

void symbolDots(QImage& image, CaptionSymbol symbol, int shift) {
    const QRgb black = qRgb(0, 0, 0);
    if (symbol == CaptionSymbol::Minimize) {
        for (int y = 9; y <= 10; ++y)
            for (int x = 4; x <= 9; ++x) image.setPixel(x + shift, y + shift, black);
        return;
    }
    // Cross of two-pixel strokes, 8 x 7.
    for (int k = 0; k < 7; ++k) {
        for (int x : {4 + k, 5 + k, 10 - k, 11 - k})
            image.setPixel(x + shift, 3 + k + shift, black);
    }
}

QPainterPath roundedBox(double x, double y, double w, double h, double r) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), r, r);
    return path;
}

// Draws a shape white with a one-pixel black outline, the way cursors stay visible on any
// background. Edges lie on pixel centres so the outline falls on whole pixels.
void outlined(QPainter& p, const QPainterPath& shape) {
    p.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(shape.simplified());
}

QImage blankCursor() {
    QImage image(r512::kCursorSize, r512::kCursorSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

QImage renderCaptionButton(CaptionSymbol symbol, bool down) {
    QImage image(kCaptionWidth, kCaptionHeight, QImage::Format_RGB32);
    image.fill(kFace);
    const int w = kCaptionWidth, h = kCaptionHeight;
    // Outer edge: light above and left when raised, dark when pressed; inner edge a step softer.
    const QRgb outerTopLeft = down ? kDark : kLight;
    const QRgb outerBottomRight = down ? kLight : kDark;
    const QRgb innerTopLeft = down ? kMid : kFace;
    const QRgb innerBottomRight = down ? kFace : kMid;
    for (int x = 0; x < w; ++x) {
        image.setPixel(x, 0, outerTopLeft);
        image.setPixel(x, h - 1, outerBottomRight);
    }
    for (int y = 0; y < h; ++y) {
        image.setPixel(0, y, outerTopLeft);
        image.setPixel(w - 1, y, outerBottomRight);
    }
    for (int x = 1; x < w - 1; ++x) {
        image.setPixel(x, 1, innerTopLeft);
        image.setPixel(x, h - 2, innerBottomRight);
    }
    for (int y = 1; y < h - 1; ++y) {
        image.setPixel(1, y, innerTopLeft);
        image.setPixel(w - 2, y, innerBottomRight);
    }
    image.setPixel(w - 1, 0, down ? kDark : kMid);
    image.setPixel(0, h - 1, down ? kDark : kMid);
    symbolDots(image, symbol, down ? 1 : 0);
    return image;
}

QImage renderHandCursor() {
    QImage image = blankCursor();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Index finger up, its tip on the hot spot (12, 1); the other fingers folded to the right.
    const double tipX = r512::kHandHotSpot.x + 0.5, tipY = r512::kHandHotSpot.y + 0.5;
    QPainterPath hand = roundedBox(tipX - 2.0, tipY, 5.0, 16.0, 2.5);
    hand = hand.united(roundedBox(tipX + 3.0, tipY + 9.0, 4.0, 9.0, 2.0));
    hand = hand.united(roundedBox(tipX + 7.0, tipY + 10.0, 4.0, 9.0, 2.0));
    hand = hand.united(roundedBox(tipX + 11.0, tipY + 12.0, 3.5, 8.0, 1.75));
    hand = hand.united(roundedBox(tipX - 2.0, tipY + 14.0, 16.5, 11.0, 3.5));
    QPainterPath thumb = roundedBox(-2.5, -9.5, 5.0, 11.0, 2.5);
    thumb = QTransform().translate(tipX - 0.5, tipY + 20.0).rotate(-42.0).map(thumb);
    hand = hand.united(thumb);
    outlined(p, hand);
    // Creases between the folded fingers.
    p.setPen(QPen(Qt::black, 1.0));
    for (double dx : {3.0, 7.0, 11.0})
        p.drawLine(QPointF(tipX + dx, tipY + 14.0 + dx / 4.0),
                   QPointF(tipX + dx, tipY + 17.0 + dx / 4.0));
    // Cuff.
    outlined(p, roundedBox(tipX + 0.5, tipY + 25.0, 11.0, 5.0, 1.0));
    return image;
}

QImage renderKnobDownCursor() {
    QImage image = blankCursor();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Anticlockwise arrow round the hand, from the lower left, under it and up its right side,
    // its point on the hot spot.
    const QPointF hot(r512::kKnobDownHotSpot.x + 0.5, r512::kKnobDownHotSpot.y + 0.5);
    const QPointF centre(16.0, 16.0);
    const QPointF fromCentre = hot - centre;
    const double radius = std::hypot(fromCentre.x(), fromCentre.y());
    const double tipAngle = std::atan2(fromCentre.y(), fromCentre.x());
    const auto at = [&](double degrees) {
        const double a = degrees * kPi / 180.0;
        return centre + QPointF(radius * std::cos(a), radius * std::sin(a));
    };
    QPainterPath shaft;
    shaft.moveTo(at(140.0));
    for (double a = 138.0; a >= -26.0; a -= 2.0) shaft.lineTo(at(a));
    // Direction of travel at the point: up and to the left.
    const QPointF dir(std::sin(tipAngle), -std::cos(tipAngle));
    const QPointF normal(-dir.y(), dir.x());
    const QPointF tip = hot + 0.8 * dir;  // a little past the hot spot, so its pixel is solid
    QPainterPath head;
    head.addPolygon(QPolygonF{tip, tip - 6.5 * dir + 4.0 * normal, tip - 6.5 * dir - 4.0 * normal});
    head.closeSubpath();

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shaft);
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(head);

    // A fist gripping the knob, knuckles up, thumb across the front.
    QPainterPath fist = roundedBox(9.5, 12.5, 13.0, 10.0, 3.0);
    fist = fist.united(roundedBox(9.5, 9.5, 3.5, 6.0, 1.75));
    fist = fist.united(roundedBox(13.0, 8.5, 3.5, 7.0, 1.75));
    fist = fist.united(roundedBox(16.5, 8.5, 3.5, 7.0, 1.75));
    fist = fist.united(roundedBox(20.0, 9.5, 3.0, 6.0, 1.5));
    outlined(p, fist);
    outlined(p, roundedBox(8.5, 15.5, 10.0, 4.0, 2.0));
    p.setPen(QPen(Qt::black, 1.0));
    for (double x : {13.0, 16.5, 20.0}) p.drawLine(QPointF(x, 10.5), QPointF(x, 14.0));

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(shaft);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(head);
    return image;
}

QImage renderIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // The front panel in miniature: silver slab, blue-lit display, knob on the right.
    QLinearGradient metal(0, 8, 0, 25);
    metal.setColorAt(0.0, QColor(236, 238, 241));
    metal.setColorAt(1.0, QColor(168, 171, 176));
    p.setPen(QPen(QColor(60, 62, 66), 1.0));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(0.5, 8.5, 31.0, 16.0), 2.0, 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kDisplayBackground));
    p.drawRect(QRectF(4.0, 11.0, 15.0, 6.0));
    p.setBrush(QColor(kDisplayForeground));
    p.drawRect(QRectF(5.5, 12.5, 9.0, 1.5));
    p.drawRect(QRectF(5.5, 14.5, 12.0, 1.5));
    QRadialGradient knob(QPointF(24.5, 15.0), 6.0, QPointF(23.0, 13.5));
    knob.setColorAt(0.0, QColor(250, 250, 252));
    knob.setColorAt(1.0, QColor(128, 131, 136));
    p.setPen(QPen(QColor(60, 62, 66), 1.0));
    p.setBrush(knob);
    p.drawEllipse(QPointF(25.0, 16.5), 4.8, 4.8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 72, 78));
    for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(6.0 + 4.0 * i, 20.8), 1.2, 1.2);
    return image;
}

namespace {

void put16(QByteArray& out, std::uint16_t v) {
    out.append(char(v & 0xff));
    out.append(char(v >> 8));
}

void put32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xff));
}

// One image of an icon or cursor file: a 32-bit DIB with its colour rows and mask rows.
QByteArray iconPayload(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    QByteArray dib;
    put32(dib, 40);
    put32(dib, std::uint32_t(w));
    put32(dib, std::uint32_t(2 * h));  // colour rows and mask rows together
    put16(dib, 1);
    put16(dib, 32);
    put32(dib, 0);
    put32(dib, 0);
    put32(dib, 0);
    put32(dib, 0);
    put32(dib, 0);
    put32(dib, 0);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            dib.append(char(qBlue(row[x])));
            dib.append(char(qGreen(row[x])));
            dib.append(char(qRed(row[x])));
            dib.append(char(qAlpha(row[x])));
        }
    }
    // AND mask for systems that ignore the alpha channel: set where fully transparent.
    const int maskStride = ((w + 31) / 32) * 4;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray maskRow(maskStride, '\0');
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (qAlpha(row[x]) == 0) maskRow[x / 8] = char(maskRow[x / 8] | (0x80 >> (x % 8)));
        dib.append(maskRow);
    }
    return dib;
}

// The directory entry's two 16-bit fields after the size bytes: planes and bit count in an
// icon, the hot spot in a cursor.
struct EntryFields {
    std::uint16_t first;
    std::uint16_t second;
};

QByteArray encodeDirectory(std::uint16_t type, const QList<QImage>& images,
                           const QList<EntryFields>& fields) {
    QList<QByteArray> payloads;
    for (const QImage& image : images) payloads.append(iconPayload(image));

    QByteArray out;
    put16(out, 0);
    put16(out, type);
    put16(out, std::uint16_t(images.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
    for (int i = 0; i < images.size(); ++i) {
        out.append(char(images[i].width() & 0xff));  // 256 would be written as 0
        out.append(char(images[i].height() & 0xff));
        out.append('\0');  // no palette
        out.append('\0');
        put16(out, fields[i].first);
        put16(out, fields[i].second);
        put32(out, std::uint32_t(payloads[i].size()));
        put32(out, offset);
        offset += std::uint32_t(payloads[i].size());
    }
    for (const QByteArray& payload : payloads) out.append(payload);
    return out;
}

}  // namespace

QByteArray encodeIco(const QList<QImage>& images) {
    QList<EntryFields> fields;
    for (int i = 0; i < images.size(); ++i) fields.append({1, 32});  // one plane, 32 bits
    return encodeDirectory(1, images, fields);
}

QByteArray encodeCur(const QImage& image, int hotSpotX, int hotSpotY) {
    return encodeDirectory(2, {image}, {{std::uint16_t(hotSpotX), std::uint16_t(hotSpotY)}});
}

}  // namespace artgen
