#include <gtest/gtest.h>

#include <string>

#include "StageChoice.h"

namespace {

using r512::uninstall::ChooseStage;
using r512::uninstall::Stage;

Stage Choose(std::string name) { return ChooseStage(name.data()); }

TEST(StageChoice, TurnsTheNameIntoCapitalsInPlace) {
    std::string name = "c:\\Program Files\\zel\\r512\\uninstall.exe";
    ChooseStage(name.data());
    EXPECT_EQ(name, "C:\\PROGRAM FILES\\ZEL\\R512\\UNINSTALL.EXE");
}

TEST(StageChoice, LeavesBytesOutsideAToZAlone) {
    std::string name = "C:\\caf\xe9\\[x]_1.exe";
    ChooseStage(name.data());
    EXPECT_EQ(name, "C:\\CAF\xe9\\[X]_1.EXE");
}

TEST(StageChoice, TheCopyRunsTheSecondStageWhateverItsLetterCase) {
    EXPECT_EQ(Choose("C:\\Temp\\R512Uninstall.exe"), Stage::Second);
    EXPECT_EQ(Choose("C:\\Temp\\\\r512uninstall.EXE"), Stage::Second);
    EXPECT_EQ(Choose("C:\\A Folder With Spaces\\R512UNINSTALL.EXE"), Stage::Second);
}

TEST(StageChoice, AnyOtherNameRunsTheFirstStage) {
    EXPECT_EQ(Choose("C:\\Program Files\\ZEL\\R512\\uninstall.exe"), Stage::First);
    EXPECT_EQ(Choose("C:\\Temp\\XR512Uninstall.exe"), Stage::First);
    EXPECT_EQ(Choose("C:\\Temp\\R512Uninstall.exe.bak"), Stage::First);
    // The name decides, not a folder on the way.
    EXPECT_EQ(Choose("C:\\R512Uninstall.exe\\uninstall.exe"), Stage::First);
}

TEST(StageChoice, ANameWithoutBackslashHasNoPath) {
    EXPECT_EQ(Choose("R512Uninstall.exe"), Stage::NoPath);
    EXPECT_EQ(Choose(""), Stage::NoPath);
}

}  // namespace
