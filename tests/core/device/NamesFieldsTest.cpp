// The thirteen texts of the names memory: taken out of the image, put back with padding, and
// the check of the bytes the device can store.
#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "device/NamesFields.h"

namespace r512::test {
namespace {

using names_fields::Image;
using names_fields::Texts;

// An image whose every byte is valid and tells its place: 0x20 + offset % 0x5F.
Image NumberedImage() {
    Image image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(0x20 + i % 0x5F);
    return image;
}

bool InEditedRange(int offset) {
    return (offset >= 400 && offset < 480) || (offset >= 702 && offset < 814);
}

TEST(NamesFields, FieldsLieWhereTheDeviceKeepsThem) {
    const int expected[names_fields::kCount][2] = {
        {702, 7}, {709, 7}, {716, 7},  {723, 7},  {730, 7},  {737, 7}, {744, 7},
        {751, 7}, {758, 7}, {400, 20}, {420, 20}, {440, 20}, {460, 20}};
    for (int i = 0; i < names_fields::kCount; ++i) {
        EXPECT_EQ(names_fields::kFields[static_cast<std::size_t>(i)].offset, expected[i][0]) << i;
        EXPECT_EQ(names_fields::kFields[static_cast<std::size_t>(i)].width, expected[i][1]) << i;
    }
}

TEST(NamesFields, EachFieldIsTakenWholeWithItsTrailingSpaces) {
    Image image = NumberedImage();
    const std::string name3 = "CD     ";
    std::copy(name3.begin(), name3.end(), image.begin() + 716);
    const std::string standby2 = "  beyond...         ";
    std::copy(standby2.begin(), standby2.end(), image.begin() + 460);

    const Texts texts = names_fields::FromImage(image);
    EXPECT_EQ(texts[2], name3);
    EXPECT_EQ(texts[12], standby2);
    for (int i = 0; i < names_fields::kCount; ++i) {
        const auto& f = names_fields::kFields[static_cast<std::size_t>(i)];
        EXPECT_EQ(texts[static_cast<std::size_t>(i)],
                  std::string(image.begin() + f.offset, image.begin() + f.offset + f.width))
            << i;
    }
}

TEST(NamesFields, SevenCharactersFillANameWithoutPadding) {
    Image image = NumberedImage();
    Texts texts = names_fields::FromImage(image);
    texts[0] = "Seven78";
    names_fields::ToImage(texts, image);
    EXPECT_EQ(std::string(image.begin() + 702, image.begin() + 709), "Seven78");
}

TEST(NamesFields, ShorterTextsArePaddedWithSpacesAndEmptyOnesBecomeSpaces) {
    Image image = NumberedImage();
    Texts texts = names_fields::FromImage(image);
    texts[1] = "DVD";
    texts[8] = "";
    texts[9] = " Hi";
    texts[12] = "";
    names_fields::ToImage(texts, image);
    EXPECT_EQ(std::string(image.begin() + 709, image.begin() + 716), "DVD    ");
    EXPECT_EQ(std::string(image.begin() + 758, image.begin() + 765), "       ");
    EXPECT_EQ(std::string(image.begin() + 400, image.begin() + 420), " Hi                 ");
    EXPECT_EQ(std::string(image.begin() + 460, image.begin() + 480), std::string(20, ' '));
}

TEST(NamesFields, TwentyCharactersFillAMessageLineAndLongerTextsAreCutAtTheWidth) {
    Image image = NumberedImage();
    Texts texts = names_fields::FromImage(image);
    texts[10] = "12345678901234567890";
    texts[3] = "TooLongName";
    texts[11] = "123456789012345678901234";
    names_fields::ToImage(texts, image);
    EXPECT_EQ(std::string(image.begin() + 420, image.begin() + 440), "12345678901234567890");
    EXPECT_EQ(std::string(image.begin() + 723, image.begin() + 730), "TooLong");
    EXPECT_EQ(std::string(image.begin() + 440, image.begin() + 460), "12345678901234567890");
    // The next field starts where it did.
    EXPECT_EQ(image[730], NumberedImage()[730]);
    EXPECT_EQ(image[460], NumberedImage()[460]);
}

TEST(NamesFields, PuttingTextsBackTouchesNothingOutsideTheirFields) {
    const Image before = NumberedImage();
    Image image = before;
    Texts texts;
    texts.fill(std::string(1, 'x'));
    names_fields::ToImage(texts, image);
    for (int i = 0; i < names_layout::kImageSize; ++i) {
        const bool inField = std::any_of(
            names_fields::kFields.begin(), names_fields::kFields.end(),
            [&](const names_fields::Field& f) { return i >= f.offset && i < f.offset + f.width; });
        if (!inField) {
            ASSERT_EQ(image[static_cast<std::size_t>(i)], before[static_cast<std::size_t>(i)]) << i;
        }
    }
    // The 49 bytes after name 9 stay exactly as they were.
    EXPECT_TRUE(std::equal(image.begin() + 765, image.begin() + 814, before.begin() + 765));
}

TEST(NamesFields, ZeroBytesBecomeSpacesOnlyInTheNamesAndMessages) {
    Image image{};  // all zero
    Texts texts;
    names_fields::ToImage(texts, image);
    for (int i = 0; i < names_layout::kImageSize; ++i) {
        const auto expected = InEditedRange(i) ? std::uint8_t{' '} : std::uint8_t{0};
        ASSERT_EQ(image[static_cast<std::size_t>(i)], expected) << i;
    }
}

TEST(NamesFields, RoundTripKeepsTheImage) {
    const Image before = NumberedImage();
    Image image = before;
    names_fields::ToImage(names_fields::FromImage(before), image);
    EXPECT_EQ(image, before);
}

TEST(NamesFields, ValidBytesAre0x14To0x7F) {
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(names_fields::IsValidByte(static_cast<std::uint8_t>(b)), b >= 0x14 && b <= 0x7F)
            << b;
}

TEST(NamesFields, TheCheckLooksAtEveryByteOfBothRangesAndNoOther) {
    const Image good = NumberedImage();
    ASSERT_TRUE(names_fields::IsValid(good));
    // Each edge of each range, and a byte inside, with each kind of invalid byte.
    for (int offset : {400, 439, 440, 479, 702, 764, 765, 813}) {
        for (int bad : {0x00, 0x13, 0x80, 0xC9, 0xE9, 0xFF}) {
            Image image = good;
            image[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(bad);
            EXPECT_FALSE(names_fields::IsValid(image)) << offset << " " << bad;
        }
        for (int fine : {0x14, 0x1F, 0x20, 0x7E, 0x7F}) {
            Image image = good;
            image[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(fine);
            EXPECT_TRUE(names_fields::IsValid(image)) << offset << " " << fine;
        }
    }
    // Bytes outside the two ranges are never examined.
    Image image = good;
    for (int i = 0; i < names_layout::kImageSize; ++i)
        if (!InEditedRange(i)) image[static_cast<std::size_t>(i)] = 0x00;
    EXPECT_TRUE(names_fields::IsValid(image));
}

TEST(NamesFields, EveryByteFrom0x80UpIsRefused) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        Image image = NumberedImage();
        image[705] = static_cast<std::uint8_t>(b);
        ASSERT_FALSE(names_fields::IsValid(image)) << b;
    }
}

TEST(NamesFields, FactoryTextsAreExact) {
    const Texts& d = names_fields::Defaults();
    const Texts expected = {
        "Video 1",  "Video 2", "Video 3", "Video 4",      "Video 5",          "Video 6",
        "CD",       "Aux",     "Tuner",   "   ZEL R-512", "Digital Surround", "To Infinity and",
        "beyond..."};
    EXPECT_EQ(d, expected);
    EXPECT_EQ(d[9].size(), 12u);  // three leading spaces
    for (const auto& text : d)
        EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) {
            return names_fields::IsValidByte(static_cast<std::uint8_t>(c));
        }));
}

}  // namespace
}  // namespace r512::test
