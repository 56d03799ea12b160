#include "ArtworkSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace artwork_test;

namespace {

struct Box {
    int left, top, right, bottom;  // right and bottom exclusive, as the window's regions
};

// The window's round hot spots (standby, the ten small buttons, the whole knob).
const Box kRoundControls[] = {
    {52, 67, 86, 100},    {200, 100, 218, 118}, {239, 100, 257, 118}, {278, 100, 295, 118},
    {317, 100, 335, 118}, {356, 100, 374, 118}, {395, 100, 413, 118}, {434, 100, 452, 118},
    {473, 100, 491, 118}, {511, 100, 530, 118}, {551, 100, 569, 118}, {647, 51, 715, 119},
};
const Box kDisplay{315, 55, 455, 73};
const QRgb kDisplayBackground = qRgb(4, 4, 4);

class Skin : public ::testing::Test {
protected:
    QImage skin = load(":/skin.bmp");
};

TEST_F(Skin, IsAnUncompressedEightBitBitmapWithAFullColourTable) {
    const BmpHeader h = bmpHeader(bytesOf(":/skin.bmp"));
    ASSERT_TRUE(h.valid);
    EXPECT_EQ(h.width, 775);
    EXPECT_EQ(std::abs(h.height), 168);
    EXPECT_EQ(h.bitCount, 8);
    EXPECT_EQ(h.compression, 0u);  // BI_RGB
    EXPECT_TRUE(h.coloursUsed == 256 || h.coloursUsed == 0) << h.coloursUsed;

    ASSERT_FALSE(skin.isNull());
    EXPECT_EQ(skin.size(), QSize(775, 168));
    EXPECT_EQ(skin.format(), QImage::Format_Indexed8);
    EXPECT_EQ(skin.colorCount(), 256);
}

TEST_F(Skin, DisplayAreaIsTheDisplayBackgroundThroughout) {
    ASSERT_FALSE(skin.isNull());
    int wrong = 0;
    for (int y = kDisplay.top; y < kDisplay.bottom; ++y)
        for (int x = kDisplay.left; x < kDisplay.right; ++x)
            wrong += skin.pixel(x, y) != kDisplayBackground;
    EXPECT_EQ(wrong, 0);
}

// Walks from the display edge outwards while the window (glass and its bezel) stays dark;
// returns how far it reached.
int darkReach(const QImage& skin, int x, int y, int dx, int dy) {
    int n = 0;
    while (luminance(skin.pixel(x + dx * (n + 1), y + dy * (n + 1))) < 60.0 && n < 60) ++n;
    return n;
}

TEST_F(Skin, DisplayWindowIsDarkSomewhatLargerThanTheDisplayAndCentredOnIt) {
    ASSERT_FALSE(skin.isNull());
    const int midX = (kDisplay.left + kDisplay.right) / 2,
              midY = (kDisplay.top + kDisplay.bottom) / 2;
    const int left = darkReach(skin, kDisplay.left, midY, -1, 0);
    const int right = darkReach(skin, kDisplay.right - 1, midY, 1, 0);
    const int up = darkReach(skin, midX, kDisplay.top, 0, -1);
    const int down = darkReach(skin, midX, kDisplay.bottom - 1, 0, 1);
    for (int reach : {left, right, up, down}) {
        EXPECT_GE(reach, 3);
        EXPECT_LE(reach, 25);
    }
    EXPECT_LE(std::abs(left - right), 1);
    EXPECT_LE(std::abs(up - down), 1);
}

// Along rays from a control's centre there is a strong edge within two and a half pixels of the
// hot spot's outline, stronger than anything just outside it: the picture of the button or knob
// coincides with the clickable area. A control drawn a few pixels off fails on one side or other.
TEST_F(Skin, RoundControlsAreDrawnOnTheirHotSpots) {
    ASSERT_FALSE(skin.isNull());
    constexpr double kPi = 3.14159265358979323846;
    constexpr int kRays = 16;
    for (const Box& b : kRoundControls) {
        const double cx = (b.left + b.right) / 2.0, cy = (b.top + b.bottom) / 2.0;
        const double r = std::min(b.right - b.left, b.bottom - b.top) / 2.0;
        int onOutline = 0;
        for (int k = 0; k < kRays; ++k) {
            const double a = 2.0 * kPi * (k + 0.5) / kRays;
            const auto sample = [&](double d) {
                return luminance(skin.pixel(int(std::floor(cx + d * std::cos(a))),
                                            int(std::floor(cy + d * std::sin(a)))));
            };
            const auto strongest = [&](double from, double to) {
                double best = 0.0;
                for (double d = from; d + 1.0 <= to; d += 0.5)
                    best = std::max(best, std::abs(sample(d + 1.0) - sample(d)));
                return best;
            };
            const double edge = strongest(r - 2.5, r + 2.5);
            const double beyond = strongest(r + 3.0, r + 7.0);
            onOutline += edge >= 25.0 && edge > beyond;
        }
        EXPECT_GE(onOutline, kRays * 3 / 4) << "control at " << b.left << "," << b.top;
    }
}

TEST_F(Skin, ControlsStandOutFromThePlateAroundThem) {
    ASSERT_FALSE(skin.isNull());
    for (const Box& b : kRoundControls) {
        const int cy = (b.top + b.bottom) / 2;
        // The plate just left of the control's outline, where nothing else is printed.
        const QRgb plate = skin.pixel(b.left - 6, cy);
        const QRgb outline = skin.pixel(b.left + 1, cy);
        EXPECT_GT(std::abs(luminance(outline) - luminance(plate)), 30.0)
            << "control at " << b.left << "," << b.top;
    }
}

TEST_F(Skin, CornerUnderTheCaptionButtonsIsPlainPlate) {
    ASSERT_FALSE(skin.isNull());
    double lo = 255.0, hi = 0.0;
    for (int y = 3; y < 24; ++y) {
        for (int x = 716; x < 772; ++x) {
            lo = std::min(lo, luminance(skin.pixel(x, y)));
            hi = std::max(hi, luminance(skin.pixel(x, y)));
        }
    }
    EXPECT_GT(lo, 150.0);  // bright metal, no dark printing or parts
    EXPECT_LT(hi - lo, 40.0);
}

TEST_F(Skin, ColourTableHoldsTheDisplayColoursExactly) {
    ASSERT_FALSE(skin.isNull());
    const QList<QRgb> table = skin.colorTable();
    EXPECT_TRUE(table.contains(qRgb(4, 4, 4)));
    EXPECT_TRUE(table.contains(qRgb(102, 204, 255)));
}

}  // namespace
