// The display's pixels against the font strip it draws from.
#include <gtest/gtest.h>

#include <QImage>

#include "qt/FrontPanelDisplay.h"
#include "qt/GuiTestSupport.h"

namespace r512::test {
namespace {

const QRgb kBackground = qRgb(4, 4, 4);
const QRgb kLit = qRgb(102, 204, 255);

class Display : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.LoadFontBitmap());
        font = QImage(":/font.bmp").convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(font.size(), QSize(672, 9));
    }
    QImage Shot() { return display.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QImage Cell(const QImage& shot, int line, int column) {
        return shot.copy(column * 7, line * 9, 7, 9);
    }
    QImage FontCell(int code) { return font.copy(7 * (code - 32), 0, 7, 9); }
    static bool Blank(const QImage& cell) {
        for (int y = 0; y < cell.height(); ++y)
            for (int x = 0; x < cell.width(); ++x)
                if (cell.pixel(x, y) != kBackground) return false;
        return true;
    }
    // The cell's rows as 7-bit numbers, leftmost column the most significant bit.
    static std::vector<int> Rows(const QImage& cell) {
        std::vector<int> rows;
        for (int y = 0; y < 9; ++y) {
            int bits = 0;
            for (int x = 0; x < 7; ++x) bits = bits << 1 | (cell.pixel(x, y) == kLit);
            rows.push_back(bits);
        }
        return rows;
    }

    FrontPanelDisplay display{nullptr};
    QImage font;
};

TEST_F(Display, EveryCellIsItsCharactersFontCell) {
    display.SetLine("Video 1 Dolby Digit.", 0, false);
    display.SetLine("[] PL   THX Mute -5@", 1, true);
    const QImage shot = Shot();
    ASSERT_EQ(shot.size(), QSize(140, 18));
    const char* lines[2] = {"Video 1 Dolby Digit.", "[] PL   THX Mute -5@"};
    for (int line = 0; line < 2; ++line)
        for (int column = 0; column < 20; ++column)
            EXPECT_EQ(Cell(shot, line, column), FontCell(lines[line][column]))
                << "line " << line << " column " << column;
    // Only the two colours of the device's display.
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ASSERT_TRUE(shot.pixel(x, y) == kBackground || shot.pixel(x, y) == kLit);
}

TEST_F(Display, TheFourParticularGlyphs) {
    display.SetLine("0@[]", 0, true);
    const QImage shot = Shot();
    EXPECT_EQ(Rows(Cell(shot, 0, 0)),
              (std::vector<int>{0x00, 0x1C, 0x22, 0x26, 0x2A, 0x32, 0x22, 0x1C, 0x00}));
    EXPECT_EQ(Rows(Cell(shot, 0, 1)),
              (std::vector<int>{0x00, 0x00, 0x00, 0x02, 0x06, 0x02, 0x02, 0x1A, 0x00}));
    EXPECT_EQ(Rows(Cell(shot, 0, 2)),
              (std::vector<int>{0x00, 0x3E, 0x26, 0x22, 0x22, 0x22, 0x26, 0x3E, 0x00}));
    EXPECT_EQ(Rows(Cell(shot, 0, 3)),
              (std::vector<int>{0x00, 0x3E, 0x32, 0x22, 0x22, 0x22, 0x32, 0x3E, 0x00}));
}

TEST_F(Display, CharactersWithoutAGlyphDrawBlank) {
    // Control codes, codes from 128 on, and printable codes the font has no glyph for.
    const char text[21] = {'\x01', '\x1F', '\x80', '\xE9', '\xFF', '!', '#', '(', '*', '/', '{',
                           '~',    ' ',    '\x7F', '$',    '%',    '&', '?', '^', '|', 0};
    display.SetLine(text, 1, true);
    const QImage shot = Shot();
    for (int column = 0; column < 20; ++column)
        EXPECT_TRUE(Blank(Cell(shot, 1, column))) << "column " << column;
    // And the letters, digits and signs that have one draw something.
    display.SetLine("Aa0+-.:_", 0, true);
    const QImage lit = Shot();
    for (int column = 0; column < 8; ++column)
        EXPECT_FALSE(Blank(Cell(lit, 0, column))) << "column " << column;
}

TEST_F(Display, SetLineCopiesTwentyAtMostAndIgnoresOtherLines) {
    display.SetLine("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0, false);
    EXPECT_EQ(display.Text().At(0, 19), 'T');
    EXPECT_EQ(display.Text().At(1, 0), 0);  // the copy stops at 20
    display.SetLine("short", 1, false);
    EXPECT_EQ(display.Text().At(1, 4), 't');
    EXPECT_EQ(display.Text().At(1, 5), 0);
    display.SetLine(nullptr, 0, false);
    for (int column = 0; column < 20; ++column) EXPECT_EQ(display.Text().At(0, column), ' ');
    display.SetLine("XX", 2, false);
    display.SetLine("XX", -1, false);
    EXPECT_EQ(display.Text().At(0, 0), ' ');
    EXPECT_EQ(display.Text().At(1, 0), 's');
}

TEST_F(Display, RedrawPaintsAtOnce) {
    display.show();
    // Once the window system has put it on the screen...
    ASSERT_TRUE(WaitUntil([&] { return display.PaintCount() > 0; }, 5000));
    const int before = display.PaintCount();
    display.SetLine("vol: -35", 1, true);
    EXPECT_EQ(display.PaintCount(), before + 1);  // no event loop in between
    display.SetLine("vol: -36", 1, false);
    EXPECT_EQ(display.PaintCount(), before + 1);
    display.hide();
}

}  // namespace
}  // namespace r512::test
