// The registry profile under Wine, in a key of its own below the throw-away prefix's
// HKEY_CURRENT_USER: what the program writes reads back, and what it didn't write (a value of
// another type or size, a string without its terminator) reads as the default.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "win32/RegistryProfile.h"

namespace r512::test {
namespace {

class RegistryProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        key_ = "Software\\ZEL\\R512 Profile Test " + std::to_string(GetCurrentProcessId());
        RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }

    // Stores a raw value the way another program (or a hand edit) could have left it.
    void StoreRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + "\\Config").c_str(), 0, nullptr, 0,
                                  KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    DWORD StoredType(const char* section, const char* name) {
        DWORD type = REG_NONE;
        RegGetValueA(HKEY_CURRENT_USER, (key_ + "\\" + section).c_str(), name, RRF_RT_ANY, &type,
                     nullptr, nullptr);
        return type;
    }

    std::string key_;
};

TEST_F(RegistryProfileTest, NumbersAndStringsReadBackWithTheFrameworksTypes) {
    RegistryProfile profile(key_);
    for (int value : {0, 1, -1, 12000, 9600, INT_MIN, INT_MAX}) {
        ASSERT_TRUE(profile.WriteProfileInt("Position", "main.x", value));
        EXPECT_EQ(profile.GetProfileInt("Position", "main.x", 7), value);
    }
    EXPECT_EQ(StoredType("Position", "main.x"), static_cast<DWORD>(REG_DWORD));
    for (const char* text : {"COM1", "", "  COM7", "\\\\.\\COM12", "/dev/ttyUSB0"}) {
        ASSERT_TRUE(profile.WriteProfileString("Config", "Port", text));
        EXPECT_EQ(profile.GetProfileString("Config", "Port", "x"), text);
    }
    EXPECT_EQ(StoredType("Config", "Port"), static_cast<DWORD>(REG_SZ));
}

TEST_F(RegistryProfileTest, MissingKeyOrValueGivesTheDefault) {
    RegistryProfile profile(key_);
    EXPECT_EQ(profile.GetProfileInt("Config", "Speed", 12000), 12000);
    EXPECT_EQ(profile.GetProfileString("Config", "Port", "COM1"), "COM1");
    ASSERT_TRUE(profile.WriteProfileInt("Config", "Configured", 1));
    EXPECT_EQ(profile.GetProfileInt("Config", "Speed", 12000), 12000);
    EXPECT_EQ(profile.GetProfileString("Config", "Port", "COM1"), "COM1");
}

TEST_F(RegistryProfileTest, ValuesOfAnotherTypeOrSizeReadAsTheDefault) {
    const DWORD number = 9600;
    const unsigned long long wide = 9600;
    const char text[] = "9600";
    const BYTE twoBytes[2] = {0x80, 0x25};
    StoreRaw("NumberAsText", REG_SZ, text, sizeof(text));
    StoreRaw("NumberAsBinary", REG_BINARY, &number, sizeof(number));
    StoreRaw("NumberAsQword", REG_QWORD, &wide, sizeof(wide));
    StoreRaw("ShortDword", REG_DWORD, twoBytes, sizeof(twoBytes));
    StoreRaw("TextAsNumber", REG_DWORD, &number, sizeof(number));
    StoreRaw("TextAsExpandable", REG_EXPAND_SZ, text, sizeof(text));
    StoreRaw("TextAsMulti", REG_MULTI_SZ, "COM3\0COM4\0", 11);

    RegistryProfile profile(key_);
    for (const char* name : {"NumberAsText", "NumberAsBinary", "NumberAsQword", "ShortDword"})
        EXPECT_EQ(profile.GetProfileInt("Config", name, 12000), 12000) << name;
    for (const char* name : {"TextAsNumber", "TextAsExpandable", "TextAsMulti"})
        EXPECT_EQ(profile.GetProfileString("Config", name, "COM1"), "COM1") << name;
}

TEST_F(RegistryProfileTest, StringStoredWithoutTerminatorEndsAtItsLength) {
    StoreRaw("Port", REG_SZ, "COM5", 4);  // no zero byte
    RegistryProfile profile(key_);
    EXPECT_EQ(profile.GetProfileString("Config", "Port", "COM1"), "COM5");
}

TEST_F(RegistryProfileTest, OverlongStringReadsAsTheDefault) {
    const std::string huge(100000, 'A');
    StoreRaw("Port", REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() + 1));
    RegistryProfile profile(key_);
    EXPECT_EQ(profile.GetProfileString("Config", "Port", "COM1"), "COM1");
}

TEST(RegistryProfileKey, IsThePerUserKeyOfTheProgram) {
    EXPECT_EQ(RegistryProfile::ProgramKey(), "Software\\ZEL\\R512 Control Software");
}

}  // namespace
}  // namespace r512::test
