// Path text in code pages with double-byte characters. The Japanese code page 932 is named
// explicitly, so these run the same whatever the code page of the test's own process. In it the
// katakana "so" is the bytes 83 5C (its second byte is a backslash) and "fu" is 83 74 (a "t").
#include <gtest/gtest.h>

#include <string>

#include "CodePageText.h"
#include "PathText.h"

namespace {

using namespace r512::installer;

constexpr UINT kJapanese = 932;
constexpr UINT kWestern = 1252;
// "C:\Program Files\<so><fu>" in code page 932.
const std::string kSoFu = "C:\\Program Files\\\x83\x5c\x83\x74";

TEST(CodePageText, TheSecondByteOfACharacterIsNoBackslash) {
    struct Case {
        std::string text;
        UINT codePage;
        std::ptrdiff_t lastBackslash;  // -1: none
        bool endsWithBackslash;
    };
    const Case cases[] = {
        {kSoFu, kJapanese, 16, false},
        {kSoFu + "\\uninstall.exe", kJapanese, 21, false},
        {"C:\\\x83\x5c", kJapanese, 2, false},
        {"C:\\\x83\x5c\\", kJapanese, 5, true},
        // In a single-byte code page 83 is a character of its own and 5C a backslash.
        {"C:\\\x83\x5c", kWestern, 4, true},
        {"C:\\", kJapanese, 2, true},
        {"\x83\x5c", kJapanese, -1, false},
        {"", kJapanese, -1, false},
        // A lead byte cut off by the end of the text stands alone.
        {"C:\\\x83", kJapanese, 2, false},
    };
    for (const Case& c : cases) {
        const char* last = LastBackslash(c.text.c_str(), c.codePage);
        EXPECT_EQ(last == nullptr ? -1 : last - c.text.c_str(), c.lastBackslash) << c.text;
        EXPECT_EQ(EndsWithBackslash(c.text.c_str(), c.codePage), c.endsWithBackslash) << c.text;
    }
}

TEST(CodePageText, CapitalsChangeSingleLettersOnly) {
    struct Case {
        std::string text;
        UINT codePage;
        std::string capitals;
    };
    const Case cases[] = {
        // "fu" would become 83 54, another character ("sa"), if its second byte were changed.
        {"c:\\program files\\\x83\x5c\x83\x74\\r512", kJapanese,
         "C:\\PROGRAM FILES\\\x83\x5c\x83\x74\\R512"},
        {"c:\\caf\xe9\\[x]_1.exe", kWestern, "C:\\CAF\xe9\\[X]_1.EXE"},
        {"\x83\x74z", kWestern, "\x83TZ"},
        {"", kJapanese, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AsciiCapitals(c.text.c_str(), c.codePage), c.capitals) << c.text;
    }
}

TEST(PathText, AppendToFolderAddsABackslashOnlyWhereNoneIs) {
    struct Case {
        const char* folder;
        const char* result;
    };
    const Case cases[] = {
        {"C:\\", "C:\\R512.exe"},
        {"C:\\Program Files\\ZEL\\R512", "C:\\Program Files\\ZEL\\R512\\R512.exe"},
        {"C:\\R512\\", "C:\\R512\\R512.exe"},
    };
    for (const Case& c : cases) {
        char buffer[MAX_PATH];
        ASSERT_TRUE(CopyText(buffer, c.folder));
        EXPECT_TRUE(AppendToFolder(buffer, "R512.exe"));
        EXPECT_STREQ(buffer, c.result);
    }
    char small[12] = "C:\\Folder";
    EXPECT_FALSE(AppendToFolder(small, "R512.exe"));
    EXPECT_STREQ(small, "C:\\Folder");
}

}  // namespace
