// The display window's text: how SetLine fills it and which font cell draws a character.
#include <gtest/gtest.h>

#include <string>

#include "ui/FrontPanelText.h"

namespace r512 {
namespace {

std::string Raw(const FrontPanelText& text, int line) {
    std::string raw;
    for (int column = 0; column < FrontPanelText::kColumns; ++column) raw += text.At(line, column);
    return raw;
}

const std::string kZeros(20, '\0');

TEST(FrontPanelText, StartsWithEveryByteZero) {
    FrontPanelText text;
    EXPECT_EQ(Raw(text, 0), kZeros);
    EXPECT_EQ(Raw(text, 1), kZeros);
}

TEST(FrontPanelText, ShorterTextLeavesZeroBytesBehindIt) {
    FrontPanelText text;
    ASSERT_TRUE(text.SetLine("ABCDEFGHIJKLMNOPQRST", 1));
    ASSERT_TRUE(text.SetLine("Mute", 1));
    EXPECT_EQ(Raw(text, 1), std::string("Mute") + std::string(16, '\0'));
    EXPECT_EQ(Raw(text, 0), kZeros);
}

TEST(FrontPanelText, TwentyCharactersOrMoreFillTheLineAndNoMore) {
    FrontPanelText text;
    ASSERT_TRUE(text.SetLine("01234567890123456789", 0));
    EXPECT_EQ(Raw(text, 0), "01234567890123456789");
    EXPECT_EQ(Raw(text, 1), kZeros);

    ASSERT_TRUE(text.SetLine("abcdefghijklmnopqrstUVWXYZ", 0));
    EXPECT_EQ(Raw(text, 0), "abcdefghijklmnopqrst");
    EXPECT_EQ(Raw(text, 1), kZeros) << "a long top line must not run into the bottom line";

    ASSERT_TRUE(text.SetLine("abcdefghijklmnopqrstUVWXYZ", 1));
    EXPECT_EQ(Raw(text, 1), "abcdefghijklmnopqrst");
    EXPECT_EQ(Raw(text, 0), "abcdefghijklmnopqrst");
}

TEST(FrontPanelText, NoTextFillsTheLineWithBlanks) {
    FrontPanelText text;
    ASSERT_TRUE(text.SetLine("top", 0));
    ASSERT_TRUE(text.SetLine(nullptr, 1));
    EXPECT_EQ(Raw(text, 1), std::string(20, ' '));
    EXPECT_EQ(Raw(text, 0), std::string("top") + std::string(17, '\0'));
}

TEST(FrontPanelText, ClearingTheTopLineLeavesTheBottomLineAlone) {
    FrontPanelText text;
    ASSERT_TRUE(text.SetLine("Direct      vol: -40", 1));
    ASSERT_TRUE(text.SetLine(nullptr, 0));
    EXPECT_EQ(Raw(text, 0), std::string(20, ' '));
    EXPECT_EQ(Raw(text, 1), "Direct      vol: -40");
}

TEST(FrontPanelText, LineIndexOtherThanZeroOrOneChangesNothing) {
    FrontPanelText text;
    ASSERT_TRUE(text.SetLine("first line", 0));
    ASSERT_TRUE(text.SetLine("second line", 1));
    for (int line : {2, -1, 40, -20}) {
        EXPECT_FALSE(text.SetLine("XXXXXXXXXXXXXXXXXXXX", line)) << line;
        EXPECT_FALSE(text.SetLine(nullptr, line)) << line;
    }
    EXPECT_EQ(Raw(text, 0), std::string("first line") + std::string(10, '\0'));
    EXPECT_EQ(Raw(text, 1), std::string("second line") + std::string(9, '\0'));
}

TEST(FrontPanelText, PrintableCodesHaveACellEachInCodeOrder) {
    EXPECT_EQ(FrontPanelText::FontCellX(' '), 0);
    EXPECT_EQ(FrontPanelText::FontCellX('+'), 7 * 11);
    EXPECT_EQ(FrontPanelText::FontCellX('0'), 7 * 16);
    EXPECT_EQ(FrontPanelText::FontCellX('@'), 7 * 32);
    EXPECT_EQ(FrontPanelText::FontCellX('A'), 7 * 33);
    EXPECT_EQ(FrontPanelText::FontCellX('['), 7 * 59);
    EXPECT_EQ(FrontPanelText::FontCellX('z'), 7 * 90);
    EXPECT_EQ(FrontPanelText::FontCellX(static_cast<char>(127)), 665);  // the strip's last cell
    EXPECT_EQ(665 + FrontPanelText::kCellWidth, 672);                   // the strip's width
}

TEST(FrontPanelText, CodesOutsideTheFontDrawTheBlankCell) {
    for (int code = 0; code < 32; ++code)
        EXPECT_EQ(FrontPanelText::FontCellX(static_cast<char>(code)), 0) << code;
    for (int code = 128; code < 256; ++code)
        EXPECT_EQ(FrontPanelText::FontCellX(static_cast<char>(code)), 0) << code;
}

}  // namespace
}  // namespace r512
