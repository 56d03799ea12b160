#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace artgen {

std::uint64_t Noise::next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545f4914f6cdd1dull;
}

double Noise::signedUnit() {
    // The top 53 bits make an exact double in [0, 1).
    return static_cast<double>(next() >> 11) * (2.0 / 9007199254740992.0) - 1.0;
}

Rgb toRgb(QRgb c) { return {double(qRed(c)), double(qGreen(c)), double(qBlue(c))}; }

static int channel(double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); }

QRgb toQRgb(const Rgb& c) { return qRgb(channel(c.r), channel(c.g), channel(c.b)); }

Rgb mix(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Fraction of a pixel inside an edge at signed distance d from its centre, by a linear ramp one
// pixel wide: close enough to the exact area for round shapes of this size.
static double coverage(double distanceInside) { return std::clamp(distanceInside + 0.5, 0.0, 1.0); }

static void blend(QImage& image, int x, int y, const Rgb& colour, double alpha) {
    if (alpha <= 0.0) return;
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    row[x] = toQRgb(mix(toRgb(row[x]), colour, alpha));
}

void shadeDisc(QImage& image, double cx, double cy, double r, const Shader& shader) {
    const int x0 = std::max(0, int(std::floor(cx - r - 1)));
    const int x1 = std::min(image.width() - 1, int(std::ceil(cx + r + 1)));
    const int y0 = std::max(0, int(std::floor(cy - r - 1)));
    const int y1 = std::min(image.height() - 1, int(std::ceil(cy + r + 1)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            const double a = coverage(r - std::hypot(dx, dy));
            if (a > 0.0) blend(image, x, y, shader(dx, dy), a);
        }
    }
}

void shadeRing(QImage& image, double cx, double cy, double inner, double outer, QRgb colour,
               double opacity) {
    const Rgb c = toRgb(colour);
    const int x0 = std::max(0, int(std::floor(cx - outer - 1)));
    const int x1 = std::min(image.width() - 1, int(std::ceil(cx + outer + 1)));
    const int y0 = std::max(0, int(std::floor(cy - outer - 1)));
    const int y1 = std::min(image.height() - 1, int(std::ceil(cy + outer + 1)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double a = std::min(coverage(outer - d), coverage(d - inner));
            blend(image, x, y, c, a * opacity);
        }
    }
}

double luminance(QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c); }

}  // namespace artgen
