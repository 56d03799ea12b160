#include <gtest/gtest.h>

#include <string>

#include "StageChoice.h"

namespace {

using r512::uninstall::ChooseStage;
using r512::uninstall::Stage;

Stage Choose(const std::string& name) { return ChooseStage(name.c_str()); }

TEST(StageChoice, LeavesTheNameAsItIs) {
    // In code page 932 the folder "<so><fu><to>" (83 5C, 83 74, 83 67) turned into capitals byte
    // by byte would name another folder; the name is used later and must stay exact.
    const std::string original = "c:\\Program Files\\\x83\x5c\x83\x74\x83\x67\\r512\\uninstall.exe";
    std::string name = original;
    EXPECT_EQ(ChooseStage(name.c_str(), 932), Stage::First);
    EXPECT_EQ(name, original);
}

TEST(StageChoice, TheCopyRunsTheSecondStageWhateverItsLetterCase) {
    EXPECT_EQ(Choose("C:\\Temp\\R512Uninstall.exe"), Stage::Second);
    EXPECT_EQ(Choose("C:\\Temp\\\\r512uninstall.EXE"), Stage::Second);
    EXPECT_EQ(Choose("C:\\A Folder With Spaces\\R512UNINSTALL.EXE"), Stage::Second);
    EXPECT_EQ(ChooseStage("C:\\\x83\x74\\r512uninstall.exe", 932), Stage::Second);
}

TEST(StageChoice, AnyOtherNameRunsTheFirstStage) {
    EXPECT_EQ(Choose("C:\\Program Files\\ZEL\\R512\\uninstall.exe"), Stage::First);
    EXPECT_EQ(Choose("C:\\Temp\\XR512Uninstall.exe"), Stage::First);
    EXPECT_EQ(Choose("C:\\Temp\\R512Uninstall.exe.bak"), Stage::First);
    // The name decides, not a folder on the way.
    EXPECT_EQ(Choose("C:\\R512Uninstall.exe\\uninstall.exe"), Stage::First);
    // "<so>R512Uninstall.exe" in code page 932: the 5C inside "so" is no backslash.
    EXPECT_EQ(ChooseStage("C:\\Temp\\\x83\x5cR512Uninstall.exe", 932), Stage::First);
}

TEST(StageChoice, ANameWithoutBackslashHasNoPath) {
    EXPECT_EQ(Choose("R512Uninstall.exe"), Stage::NoPath);
    EXPECT_EQ(Choose(""), Stage::NoPath);
    EXPECT_EQ(ChooseStage("\x83\x5cR512Uninstall.exe", 932), Stage::NoPath);
}

}  // namespace
