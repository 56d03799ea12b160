#include "Skin.h"

#include "PanelGeometry.h"
#include "Raster.h"

#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace artgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Cool silver: blue a touch above red, as anodised aluminium looks under daylight.
Rgb silver(double level) { return {level - 2.0, level, level + 3.0}; }

double smoothStep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Brushed plate: every row gets its own brightness, and each row varies slowly along its length
// (noise smeared over a long horizontal window), which is what the brushing leaves.
void paintPlate(QImage& image) {
    const int w = image.width(), h = image.height();
    Noise noise(512);
    std::vector<double> rowLevel(static_cast<std::size_t>(h));
    for (double& r : rowLevel) r = noise.signedUnit();

    constexpr int kSmear = 41;
    std::vector<double> raw(std::size_t(w + kSmear));
    for (int y = 0; y < h; ++y) {
        for (double& v : raw) v = noise.signedUnit();
        double window = 0.0;
        for (int i = 0; i < kSmear; ++i) window += raw[std::size_t(i)];
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double streak = window / std::sqrt(double(kSmear));
            window += raw[std::size_t(x + kSmear)] - raw[std::size_t(x)];
            // Light from above: the plate darkens a little towards the bottom, with a broad soft
            // sheen left of centre.
            const double sheen = 7.0 * std::exp(-std::pow((x - 300.0) / 260.0, 2.0));
            const double level = 206.0 - 16.0 * y / h + sheen + 3.2 * rowLevel[std::size_t(y)] +
                                 2.6 * streak + 1.2 * noise.signedUnit();
            row[x] = toQRgb(silver(level));
        }
    }
}

// Darkens the plate under a raised round part, softly, offset downwards by the light from above.
void softShadow(QImage& image, double cx, double cy, double r0, double r1, double opacity) {
    const int x0 = std::max(0, int(cx - r1 - 1)),
              x1 = std::min(image.width() - 1, int(cx + r1 + 1));
    const int y0 = std::max(0, int(cy - r1 - 1)),
              y1 = std::min(image.height() - 1, int(cy + r1 + 1));
    for (int y = y0; y <= y1; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = x0; x <= x1; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double a = opacity * (1.0 - smoothStep(r0, r1, d));
            if (a > 0.0) row[x] = toQRgb(mix(toRgb(row[x]), {10, 10, 12}, a));
        }
    }
}

void paintEdges(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int w = image.width(), h = image.height();
    // Bevel of the plate: lit top and left, shaded bottom and right.
    p.fillRect(0, 1, w, 1, QColor(255, 255, 255, 150));
    p.fillRect(0, 2, w, 1, QColor(255, 255, 255, 60));
    p.fillRect(1, 0, 1, h, QColor(255, 255, 255, 90));
    p.fillRect(0, h - 2, w, 1, QColor(0, 0, 0, 50));
    p.fillRect(0, h - 3, w, 1, QColor(0, 0, 0, 22));
    p.fillRect(w - 2, 0, 1, h, QColor(0, 0, 0, 45));
    // A machined groove sets off the lower lip of the plate.
    const int groove = h - 19;
    p.fillRect(6, groove, w - 12, 1, QColor(0, 0, 0, 45));
    p.fillRect(6, groove + 1, w - 12, 1, QColor(255, 255, 255, 120));
    // The gap to the cabinet all round, with slightly rounded plate corners.
    QPainterPath outside;
    outside.addRect(0, 0, w, h);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(0.5, 0.5, w - 1.0, h - 1.0), 3.0, 3.0);
    p.fillPath(outside.subtracted(plate), QColor(48, 49, 52));
    p.setPen(QPen(QColor(78, 80, 84), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1.0, h - 1.0), 3.0, 3.0);
}

// Prints text from the font's outlines rather than the platform's hinted glyphs, so the result
// depends only on the font file. Outlines are taken at a large size and scaled down, which makes
// fractional sizes possible and keeps screen resolution out of it.
class Printer {
public:
    Printer(QImage& image, const QString& family, const QString& boldFamily)
        : image_(image), family_(family), boldFamily_(boldFamily) {}

    // Text centred on x with its baseline at y.
    void centred(const QString& text, double x, double baseline, double pixelSize, double spacing,
                 const QColor& colour, bool bold = false) {
        QPainterPath path = outline(text, pixelSize, spacing, bold);
        const QRectF box = path.boundingRect();
        fill(path.translated(x - (box.left() + box.right()) / 2.0, baseline), colour);
    }

    // Text starting at x with its baseline at y.
    void left(const QString& text, double x, double baseline, double pixelSize, double spacing,
              const QColor& colour, bool bold = false) {
        QPainterPath path = outline(text, pixelSize, spacing, bold);
        fill(path.translated(x - path.boundingRect().left(), baseline), colour);
    }

private:
    static constexpr int kMasterSize = 200;

    QPainterPath outline(const QString& text, double pixelSize, double spacing, bool bold) const {
        const double scale = pixelSize / kMasterSize;
        QFont font(bold ? boldFamily_ : family_);
        font.setPixelSize(kMasterSize);
        font.setBold(bold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, spacing / scale);
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setKerning(false);
        QPainterPath path;
        path.addText(0, 0, font, text);
        return QTransform::fromScale(scale, scale).map(path);
    }

    void fill(const QPainterPath& path, const QColor& colour) {
        QPainter p(&image_);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(path, colour);
    }

    QImage& image_;
    QString family_, boldFamily_;
};

const QColor kInk(44, 46, 52);

// A dome lit from the upper left, with a soft highlight, inside a dark recess ring.
void paintRoundButton(QImage& image, double cx, double cy, double outer, double face) {
    softShadow(image, cx, cy + 1.0, outer - 0.5, outer + 2.5, 0.35);
    shadeDisc(image, cx, cy, outer, [](double, double) { return Rgb{58, 60, 65}; });
    shadeDisc(image, cx, cy, face + 0.6, [face](double dx, double dy) {
        // A thin bright lip where the recess catches the light below the button.
        const double lower = std::clamp((dy - dx * 0.3) / face, 0.0, 1.0);
        return silver(120 + 70 * lower);
    });
    shadeDisc(image, cx, cy, face, [face](double dx, double dy) {
        const double lit = -(dx * 0.6 + dy * 0.8) / face;  // -1 .. 1
        const double hx = dx + 0.35 * face, hy = dy + 0.40 * face;
        const double spot = std::exp(-(hx * hx + hy * hy) / (0.18 * face * face));
        const double rim = smoothStep(0.75, 1.0, std::hypot(dx, dy) / face);
        return silver(196 + 26 * lit + 34 * spot - 26 * rim);
    });
}

void paintStandby(QImage& image, Printer& printer) {
    const double cx = kStandby.centreX(), cy = kStandby.centreY();
    const double outer = std::min(kStandby.width(), kStandby.height()) / 2.0;
    paintRoundButton(image, cx, cy, outer, outer - 2.2);

    // The power symbol, engraved.
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int pass = 0; pass < 2; ++pass) {
        const double off = pass == 0 ? 0.6 : 0.0;  // light edge of the engraving first
        p.setPen(QPen(pass == 0 ? QColor(255, 255, 255, 110) : QColor(70, 72, 78), 1.5,
                      Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const QRectF ring(cx - 5.5 + off, cy - 5.0 + off, 11.0, 11.0);
        p.drawArc(ring, 125 * 16, 290 * 16);  // open at the top
        p.drawLine(QPointF(cx + off, cy - 7.0 + off), QPointF(cx + off, cy - 0.5 + off));
    }
    p.end();

    // Standby lamp above the button, unlit red behind a clear lens.
    const double lx = cx, ly = kStandby.top - 10.0;
    shadeDisc(image, lx, ly, 3.2, [](double, double) { return Rgb{70, 72, 76}; });
    shadeDisc(image, lx, ly, 2.4, [](double dx, double dy) {
        const double spot = std::exp(-((dx + 0.8) * (dx + 0.8) + (dy + 0.9) * (dy + 0.9)) / 0.6);
        return mix(Rgb{150, 28, 30}, Rgb{255, 190, 180}, spot);
    });

    printer.centred(QStringLiteral("STANDBY"), cx, kStandby.bottom + 11.5, 6.6, 0.7, kInk);
}

void paintDisplayWindow(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    // Window in the plate: the glass 10 px wider and 7 px taller than the display on each side,
    // in a recessed black bezel whose lower edge catches the light.
    const QRectF glass(kDisplay.left - 10, kDisplay.top - 7, kDisplay.width() + 20,
                       kDisplay.height() + 14);
    const QRectF bezel = glass.adjusted(-3, -3, 3, 3);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawRoundedRect(bezel.adjusted(0, 1, 0, 1), 4, 4);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(bezel.adjusted(0, -1, 0, -1), 4, 4);
    QLinearGradient frame(bezel.topLeft(), bezel.bottomLeft());
    frame.setColorAt(0.0, QColor(22, 23, 26));
    frame.setColorAt(1.0, QColor(46, 48, 52));
    p.setBrush(frame);
    p.drawRoundedRect(bezel, 4, 4);
    p.setBrush(QColor(kDisplayBackground));
    p.drawRoundedRect(glass, 1.5, 1.5);
    // A faint reflection along the top of the glass, kept clear of the display area.
    QLinearGradient sheen(glass.topLeft(), glass.topLeft() + QPointF(0, 5));
    sheen.setColorAt(0.0, QColor(70, 80, 92, 90));
    sheen.setColorAt(1.0, QColor(70, 80, 92, 0));
    p.setBrush(sheen);
    p.drawRect(QRectF(glass.left() + 2, glass.top() + 0.5, glass.width() - 4, 4.5));
    p.end();
    // The display area itself is exactly the display's background colour, pixel for pixel.
    for (int y = kDisplay.top; y < kDisplay.bottom; ++y)
        for (int x = kDisplay.left; x < kDisplay.right; ++x)
            image.setPixel(x, y, kDisplayBackground);
}

void paintSmallButtons(QImage& image, Printer& printer) {
    for (const SmallButton& b : kSmallButtons) {
        const double cx = b.box.centreX(), cy = b.box.centreY();
        const double outer = std::min(b.box.width(), b.box.height()) / 2.0;
        paintRoundButton(image, cx, cy, outer, outer - 1.8);
        const QStringList lines = QString::fromLatin1(b.label).split(QLatin1Char('\n'));
        double baseline = b.box.bottom + 9.5;
        for (const QString& line : lines) {
            printer.centred(line, cx, baseline, 6.0, 0.35, kInk);
            baseline += 7.0;
        }
    }
}

// The volume knob: a spun-aluminium cap with a knurled rim, standing off the plate.
void paintKnob(QImage& image, Printer& printer) {
    const double cx = kKnob.centreX(), cy = kKnob.centreY();
    const double r = kKnob.width() / 2.0;  // 34
    softShadow(image, cx + 0.5, cy + 3.0, r - 2.0, r + 6.0, 0.55);

    // Knurled rim: fine grooves around the edge, lit from above.
    shadeDisc(image, cx, cy, r, [r](double dx, double dy) {
        const double a = std::atan2(dy, dx);
        const double groove = 0.5 + 0.5 * std::cos(a * 90.0);
        const double lit = -dy / r;
        return silver(118 + 44 * lit + 22 * groove);
    });
    // Where the rim meets the plate it stays in its own shadow: a crisp dark edge all round.
    shadeRing(image, cx, cy, r - 1.0, r, qRgb(34, 35, 38), 0.75);
    // Chamfer between rim and cap.
    shadeDisc(image, cx, cy, r - 3.0, [r](double dx, double dy) {
        const double lit = -(dx * 0.5 + dy * 0.85) / r;
        return silver(175 + 70 * lit);
    });
    // Cap: concentric machining rings that catch the light in two opposite lobes.
    Noise rings(34);
    std::vector<double> ringLevel(200);
    for (double& v : ringLevel) v = rings.signedUnit();
    const double cap = r - 4.5;
    shadeDisc(image, cx, cy, cap, [&ringLevel, cap](double dx, double dy) {
        const double d = std::hypot(dx, dy);
        const double a = std::atan2(dy, dx);
        const double lobe = std::pow(std::abs(std::cos(a + kPi / 3.6)), 6.0);
        const double wide = std::pow(std::abs(std::cos(a + kPi / 3.6)), 2.0);
        const double ring = ringLevel[std::size_t(std::min(199.0, d * 4.0))];
        const double lit = -dy / cap;
        return silver(160 + 10 * lit + 22 * wide + 48 * lobe + 5 * ring);
    });
    // Position mark: a small dimple near the edge at about ten o'clock.
    const double ma = -kPi * 0.72, mr = cap - 5.5;
    const double mx = cx + mr * std::cos(ma), my = cy + mr * std::sin(ma);
    shadeDisc(image, mx, my, 2.4, [](double dx, double dy) {
        return silver(70 + 60 * std::clamp((dx + dy) / 3.0, -0.5, 1.0));
    });

    printer.centred(QStringLiteral("VOLUME"), cx, kKnob.bottom + 14.0, 6.6, 0.8, kInk);
    printer.centred(QStringLiteral("\u2013"), kKnob.left - 10.0, cy + 3.5, 11.0, 0.0, kInk, true);
    printer.centred(QStringLiteral("+"), kKnob.right + 10.0, cy + 4.0, 11.0, 0.0, kInk, true);
}

void paintModelName(Printer& printer) {
    printer.left(QStringLiteral("R512"), 24.0, 34.0, 21.0, 1.2, QColor(38, 40, 46), true);
    printer.left(QStringLiteral("SURROUND PROCESSOR"), 25.0, 45.0, 6.2, 1.05, kInk);
}

}  // namespace

QImage renderSkin(const QString& fontFile, const QString& boldFontFile) {
    const int regular = QFontDatabase::addApplicationFont(fontFile);
    const int bold = QFontDatabase::addApplicationFont(boldFontFile);
    if (regular < 0 || bold < 0) return {};
    const QString family = QFontDatabase::applicationFontFamilies(regular).value(0);
    const QString boldFamily = QFontDatabase::applicationFontFamilies(bold).value(0);

    QImage image(kSkinWidth, kSkinHeight, QImage::Format_RGB32);
    paintPlate(image);
    paintEdges(image);
    paintDisplayWindow(image);
    {
        Printer printer(image, family, boldFamily);
        paintModelName(printer);
        paintStandby(image, printer);
        paintSmallButtons(image, printer);
        paintKnob(image, printer);
    }
    return image;
}

}  // namespace artgen
