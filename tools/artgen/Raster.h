// Small pixel-level helpers the painter lacks: a seeded noise source that gives the same numbers
// on every machine, and discs shaded per pixel with an exact antialiased edge.
#pragma once

#include <QImage>
#include <QRgb>

#include <cstdint>
#include <functional>

namespace artgen {

// xorshift64*: fixed sequence for a fixed seed, unlike the standard distributions whose output
// is left to the library.
class Noise {
public:
    explicit Noise(std::uint64_t seed) : state_(seed ? seed : 0x9e3779b97f4a7c15ull) {}
    std::uint64_t next();
    // Uniform in [-1, 1).
    double signedUnit();

private:
    std::uint64_t state_;
};

struct Rgb {
    double r, g, b;
};

Rgb toRgb(QRgb c);
QRgb toQRgb(const Rgb& c);
Rgb mix(const Rgb& a, const Rgb& b, double t);

// Shade function: gets the pixel centre relative to the disc centre, returns the colour there.
using Shader = std::function<Rgb(double dx, double dy)>;

// Paints a disc of radius r centred on (cx, cy) (continuous coordinates: pixel (i, j) covers
// [i, i+1) x [j, j+1)), blending its edge by the covered fraction of each pixel.
void shadeDisc(QImage& image, double cx, double cy, double r, const Shader& shader);

// Paints a ring between radii inner and outer with one colour and an opacity.
void shadeRing(QImage& image, double cx, double cy, double inner, double outer, QRgb colour,
               double opacity);

double luminance(QRgb c);

}  // namespace artgen
