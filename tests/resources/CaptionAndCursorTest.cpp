#include "ArtworkSupport.h"
#include "ui/ArtworkHotSpots.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace artwork_test;

namespace {

struct Caption {
    const char* up;
    const char* down;
};

const Caption kCaptions[] = {
    {":/caption/minimize-up.bmp", ":/caption/minimize-down.bmp"},
    {":/caption/close-up.bmp", ":/caption/close-down.bmp"},
};

QSet<QPoint> blackPixels(const QImage& image) {
    QSet<QPoint> points;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xffffffu) == 0) points.insert(QPoint(x, y));
    return points;
}

TEST(CaptionButtons, AreEightBitSixteenByFourteen) {
    for (const Caption& c : kCaptions) {
        for (const char* alias : {c.up, c.down}) {
            const BmpHeader h = bmpHeader(bytesOf(alias));
            ASSERT_TRUE(h.valid) << alias;
            EXPECT_EQ(h.bitCount, 8) << alias;
            EXPECT_EQ(h.compression, 0u) << alias;
            const QImage image = load(alias);
            EXPECT_EQ(image.size(), QSize(16, 14)) << alias;
            EXPECT_EQ(image.format(), QImage::Format_Indexed8) << alias;
        }
    }
}

TEST(CaptionButtons, PressedSymbolIsMovedOnePixelRightAndDown) {
    for (const Caption& c : kCaptions) {
        const QSet<QPoint> up = blackPixels(load(c.up));
        const QSet<QPoint> down = blackPixels(load(c.down));
        ASSERT_GE(up.size(), 10) << c.up;
        QSet<QPoint> moved;
        for (const QPoint& p : up) moved.insert(p + QPoint(1, 1));
        EXPECT_EQ(down, moved) << c.down;
    }
}

TEST(CaptionButtons, MinimizeIsABarAndCloseACross) {
    const QSet<QPoint> bar = blackPixels(load(":/caption/minimize-up.bmp"));
    const QSet<QPoint> cross = blackPixels(load(":/caption/close-up.bmp"));
    // The bar lies in at most two rows; the cross spans several rows and is symmetric.
    QSet<int> barRows;
    for (const QPoint& p : bar) barRows.insert(p.y());
    EXPECT_LE(barRows.size(), 2);
    QSet<int> crossRows;
    for (const QPoint& p : cross) crossRows.insert(p.y());
    EXPECT_GE(crossRows.size(), 5);
    int minX = 16, maxX = 0;
    for (const QPoint& p : cross) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
    }
    for (const QPoint& p : cross)
        EXPECT_TRUE(cross.contains(QPoint(minX + maxX - p.x(), p.y()))) << p.x() << "," << p.y();
}

// Raised: light above and left, dark below and right; pressed: the other way round.
TEST(CaptionButtons, RaisedAndSunkenEdges) {
    for (const Caption& c : kCaptions) {
        const QImage up = load(c.up), down = load(c.down);
        EXPECT_GT(luminance(up.pixel(5, 0)), luminance(up.pixel(5, 13))) << c.up;
        EXPECT_GT(luminance(up.pixel(0, 5)), luminance(up.pixel(15, 5))) << c.up;
        EXPECT_LT(luminance(down.pixel(5, 0)), luminance(down.pixel(5, 13))) << c.down;
        EXPECT_LT(luminance(down.pixel(0, 5)), luminance(down.pixel(15, 5))) << c.down;
    }
}

struct CursorCase {
    const char* alias;
    r512::CursorHotSpot hotSpot;
};

TEST(Cursors, AreThirtyTwoSquareWithTransparencyAndSolidAtTheirHotSpots) {
    const CursorCase cursors[] = {{":/cursor/hand.png", r512::kHandHotSpot},
                                  {":/cursor/knob-down.png", r512::kKnobDownHotSpot},
                                  {":/cursor/knob-up.png", r512::kKnobUpHotSpot}};
    for (const CursorCase& c : cursors) {
        const QImage image = load(c.alias);
        ASSERT_EQ(image.size(), QSize(32, 32)) << c.alias;
        ASSERT_TRUE(image.hasAlphaChannel()) << c.alias;
        int transparent = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) transparent += qAlpha(image.pixel(x, y)) == 0;
        EXPECT_GT(transparent, 32 * 32 / 3) << c.alias;
        EXPECT_GE(qAlpha(image.pixel(c.hotSpot.x, c.hotSpot.y)), 128) << c.alias;
    }
}

TEST(Cursors, KnobUpIsTheMirrorImageOfKnobDown) {
    const QImage down = load(":/cursor/knob-down.png").convertToFormat(QImage::Format_ARGB32);
    const QImage up = load(":/cursor/knob-up.png").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(down.size(), up.size());
    EXPECT_EQ(up, down.mirrored(true, false));
    EXPECT_EQ(r512::kKnobUpHotSpot.x, down.width() - 1 - r512::kKnobDownHotSpot.x);
    EXPECT_EQ(r512::kKnobUpHotSpot.y, r512::kKnobDownHotSpot.y);
}

TEST(Icon, ComesAtThirtyTwoAndSixteenPixels) {
    EXPECT_EQ(load(":/icon/r512-32.png").size(), QSize(32, 32));
    EXPECT_EQ(load(":/icon/r512-16.png").size(), QSize(16, 16));

    // The .ico directory: two images, 32 and 16, whose data lie inside the file.
    const QByteArray ico = bytesOf(":/icon/r512.ico");
    ASSERT_GE(ico.size(), 6 + 2 * 16);
    EXPECT_EQ(le16(ico, 0), 0);
    EXPECT_EQ(le16(ico, 2), 1);
    ASSERT_EQ(le16(ico, 4), 2);
    const int sizes[] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        const int entry = 6 + 16 * i;
        EXPECT_EQ(std::uint8_t(ico.at(entry)), sizes[i]);
        EXPECT_EQ(std::uint8_t(ico.at(entry + 1)), sizes[i]);
        const std::uint32_t length = le32(ico, entry + 8), offset = le32(ico, entry + 12);
        EXPECT_LE(std::uint64_t(offset) + length, std::uint64_t(ico.size()));
        EXPECT_EQ(le32(ico, int(offset)), 40u);  // a BITMAPINFOHEADER starts each image
    }
}

}  // namespace
