#include <gtest/gtest.h>

#include <string>

#include "ScratchFolder.h"
#include "SecondStageLaunch.h"
#include "TemporaryFolderOverride.h"

namespace {

using namespace r512;

TEST(SecondStageLaunch, TheCopyLiesInTheTemporaryFolder) {
    testkit::ScratchFolder scratch("launch");
    const std::string temp = scratch.MakeFolder("Jo Smith\\Temp");
    TemporaryFolderOverride override(temp);

    char copyPath[MAX_PATH];
    ASSERT_TRUE(uninstall::FormCopyPath(copyPath));
    // GetTempPathA's trailing backslash and the one before the name stand together.
    EXPECT_EQ(std::string(copyPath), temp + "\\\\R512Uninstall.exe");
}

TEST(SecondStageLaunch, CommandLineQuotesTheCopyAndEndsWithTheFolder) {
    char line[2 * MAX_PATH + 4];
    ASSERT_TRUE(uninstall::FormSecondStageCommandLine(
        "C:\\Users\\Jo Smith\\Temp\\\\R512Uninstall.exe",
        "C:\\PROGRAM FILES\\ZEL\\R512\\UNINSTALL.EXE", line, sizeof line));
    EXPECT_STREQ(
        line, "\"C:\\Users\\Jo Smith\\Temp\\\\R512Uninstall.exe\" C:\\PROGRAM FILES\\ZEL\\R512\\");
}

TEST(SecondStageLaunch, CommandLineFailsRatherThanOverflow) {
    char line[40];
    EXPECT_FALSE(uninstall::FormSecondStageCommandLine(
        "C:\\T\\R512Uninstall.exe", "C:\\A LONG FOLDER NAME\\UNINSTALL.EXE", line, sizeof line));
    EXPECT_FALSE(uninstall::FormSecondStageCommandLine("C:\\T\\R512Uninstall.exe", "NOPATH.EXE",
                                                       line, sizeof line));
}

}  // namespace
