// The shortcut writer against the shell's real link object: what it writes must read back.
#include <gtest/gtest.h>
#include <windows.h>

#include "ShortcutFile.h"
#include "support/ScratchFolder.h"
#include "support/ShortcutReader.h"

namespace {

using namespace r512;

class ShortcutFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(ShortcutFileTest, WritesTargetAndDescriptionOnly) {
    testkit::ScratchFolder scratch("shortcut");
    const std::string target = scratch.MakeFile("Program Files\\R512.exe");
    const std::string link = scratch.At("R512 Control Software.lnk");

    EXPECT_EQ(setup::CreateShortcut(target.c_str(), link.c_str(), "R512 Control Software"), S_OK);

    const auto content = testkit::ReadShortcut(link);
    ASSERT_TRUE(content.has_value());
    EXPECT_STREQ(content->target.c_str(), target.c_str());
    EXPECT_EQ(content->description, "R512 Control Software");
    EXPECT_EQ(content->arguments, "");
    EXPECT_EQ(content->workingFolder, "");
}

TEST_F(ShortcutFileTest, OverwritesAnExistingShortcut) {
    testkit::ScratchFolder scratch("shortcut");
    const std::string first = scratch.MakeFile("first\\R512.exe");
    const std::string second = scratch.MakeFile("second\\R512.exe");
    const std::string link = scratch.At("R512 Control Software.lnk");

    ASSERT_EQ(setup::CreateShortcut(first.c_str(), link.c_str(), "R512 Control Software"), S_OK);
    ASSERT_EQ(setup::CreateShortcut(second.c_str(), link.c_str(), "R512 Control Software"), S_OK);

    const auto content = testkit::ReadShortcut(link);
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->target, second);
}

TEST_F(ShortcutFileTest, ReportsAFolderThatDoesNotExist) {
    testkit::ScratchFolder scratch("shortcut");
    const std::string link = scratch.At("missing folder\\R512 Control Software.lnk");
    EXPECT_TRUE(
        FAILED(setup::CreateShortcut("C:\\R512.exe", link.c_str(), "R512 Control Software")));
    EXPECT_FALSE(testkit::Exists(link));
}

}  // namespace
