#include "ArtworkSupport.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QString>

#include <array>
#include <cstdint>

using namespace artwork_test;

namespace {

const QRgb kBackground = qRgb(4, 4, 4);
const QRgb kLit = qRgb(102, 204, 255);
constexpr int kCellWidth = 7, kCellHeight = 9;

// The 70 codes that have a glyph; every other cell from 32 to 127 is blank.
bool hasGlyph(int code) {
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
           (code >= 'a' && code <= 'z') || QByteArray("+-.:@[]_").contains(char(code));
}

// A cell as nine rows of seven bits, most significant bit the leftmost column.
std::array<std::uint8_t, kCellHeight> cellRows(const QImage& strip, int code) {
    std::array<std::uint8_t, kCellHeight> rows{};
    const int x0 = (code - 32) * kCellWidth;
    for (int y = 0; y < kCellHeight; ++y)
        for (int x = 0; x < kCellWidth; ++x)
            if (strip.pixel(x0 + x, y) == kLit) rows[std::size_t(y)] |= std::uint8_t(0x40 >> x);
    return rows;
}

class FontStrip : public ::testing::Test {
protected:
    QImage strip = load(":/font.bmp");
};

TEST_F(FontStrip, IsAnEightBitStripOfNinetySixCells) {
    const BmpHeader h = bmpHeader(bytesOf(":/font.bmp"));
    ASSERT_TRUE(h.valid);
    EXPECT_EQ(h.bitCount, 8);
    EXPECT_EQ(h.compression, 0u);
    ASSERT_FALSE(strip.isNull());
    EXPECT_EQ(strip.size(), QSize(96 * kCellWidth, kCellHeight));
}

TEST_F(FontStrip, UsesExactlyTheTwoDisplayColours) {
    ASSERT_FALSE(strip.isNull());
    QSet<QRgb> used;
    for (int y = 0; y < strip.height(); ++y)
        for (int x = 0; x < strip.width(); ++x) used.insert(strip.pixel(x, y) | 0xff000000u);
    EXPECT_EQ(used, (QSet<QRgb>{kBackground, kLit}));
}

TEST_F(FontStrip, CellsWithoutAGlyphAreBlank) {
    ASSERT_FALSE(strip.isNull());
    for (int code = 32; code < 128; ++code) {
        if (hasGlyph(code)) continue;
        const auto rows = cellRows(strip, code);
        EXPECT_EQ(rows, (std::array<std::uint8_t, kCellHeight>{})) << "code " << code;
    }
}

TEST_F(FontStrip, EveryGlyphIsLitWithinItsFiveBySevenField) {
    ASSERT_FALSE(strip.isNull());
    for (int code = 32; code < 128; ++code) {
        if (!hasGlyph(code) || code == '_' || code == '0' || code == '@' || code == '[' ||
            code == ']')
            continue;
        const auto rows = cellRows(strip, code);
        int lit = 0;
        for (int y = 0; y < kCellHeight; ++y) {
            const std::uint8_t row = rows[std::size_t(y)];
            if (y == 0 || y == 8) {
                EXPECT_EQ(row, 0) << "code " << code << " row " << y;
            }
            EXPECT_EQ(row & 0x41, 0) << "code " << code << " row " << y;  // columns 0 and 6
            lit += row != 0;
        }
        EXPECT_GE(lit, 1) << "code " << code;
    }
}

TEST_F(FontStrip, NoTwoGlyphsAreAlike) {
    ASSERT_FALSE(strip.isNull());
    QSet<QByteArray> seen;
    for (int code = 32; code < 128; ++code) {
        if (!hasGlyph(code)) continue;
        const auto rows = cellRows(strip, code);
        const QByteArray key(reinterpret_cast<const char*>(rows.data()), kCellHeight);
        EXPECT_FALSE(seen.contains(key)) << "code " << code;
        seen.insert(key);
    }
}

struct Special {
    int code;
    std::array<std::uint8_t, kCellHeight> rows;
};

TEST_F(FontStrip, ParticularGlyphsHaveExactlyTheirRows) {
    ASSERT_FALSE(strip.isNull());
    const Special specials[] = {
        {48, {0x00, 0x1C, 0x22, 0x26, 0x2A, 0x32, 0x22, 0x1C, 0x00}},
        {64, {0x00, 0x00, 0x00, 0x02, 0x06, 0x02, 0x02, 0x1A, 0x00}},
        {91, {0x00, 0x3E, 0x26, 0x22, 0x22, 0x22, 0x26, 0x3E, 0x00}},
        {93, {0x00, 0x3E, 0x32, 0x22, 0x22, 0x22, 0x32, 0x3E, 0x00}},
    };
    for (const Special& s : specials)
        EXPECT_EQ(cellRows(strip, s.code), s.rows) << "code " << s.code;
}

TEST_F(FontStrip, UnderscoreAloneLiesOnTheBottomRow) {
    ASSERT_FALSE(strip.isNull());
    const auto rows = cellRows(strip, '_');
    for (int y = 0; y < 8; ++y) EXPECT_EQ(rows[std::size_t(y)], 0) << "row " << y;
    EXPECT_EQ(rows[8], 0x3E);  // columns 1-5
}

}  // namespace
