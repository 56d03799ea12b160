#include <gtest/gtest.h>

#include <string>

#include "SecondStageLaunch.h"
#include "support/Processes.h"
#include "support/ScratchFolder.h"
#include "support/TemporaryFolderOverride.h"

namespace {

using namespace r512;

TEST(SecondStageLaunch, TheCopyLiesInTheTemporaryFolder) {
    testkit::ScratchFolder scratch("launch");
    const std::string temp = scratch.MakeFolder("Jo Smith\\Temp");
    TemporaryFolderOverride override(temp);

    char copyPath[MAX_PATH];
    ASSERT_TRUE(uninstall::FormCopyPath(copyPath));
    // One backslash between the folder and the name, never two.
    EXPECT_EQ(std::string(copyPath), temp + "\\R512Uninstall.exe");
    EXPECT_EQ(std::string(copyPath).find("\\\\"), std::string::npos);
}

TEST(SecondStageLaunch, CommandLineQuotesTheCopyAndEndsWithTheFolder) {
    char line[2 * MAX_PATH + 4];
    ASSERT_TRUE(uninstall::FormSecondStageCommandLine(
        "C:\\Users\\Jo Smith\\Temp\\R512Uninstall.exe",
        "C:\\PROGRAM FILES\\ZEL\\R512\\UNINSTALL.EXE", line, sizeof line));
    EXPECT_STREQ(line,
                 "\"C:\\Users\\Jo Smith\\Temp\\R512Uninstall.exe\" C:\\PROGRAM FILES\\ZEL\\R512\\");
}

TEST(SecondStageLaunch, CommandLineFailsRatherThanOverflow) {
    char line[40];
    EXPECT_FALSE(uninstall::FormSecondStageCommandLine(
        "C:\\T\\R512Uninstall.exe", "C:\\A LONG FOLDER NAME\\UNINSTALL.EXE", line, sizeof line));
    EXPECT_FALSE(uninstall::FormSecondStageCommandLine("C:\\T\\R512Uninstall.exe", "NOPATH.EXE",
                                                       line, sizeof line));
}

TEST(SecondStageLaunch, TheCopyOfAReadOnlyUninstallerCanBeReplacedAndDeleted) {
    testkit::ScratchFolder scratch("launch read-only");
    const std::string temp = scratch.MakeFolder("Temp");
    const std::string original = scratch.MakeFolder("R512") + "\\uninstall.exe";
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string probe =
        std::string(self).substr(0, std::string(self).rfind('\\') + 1) + "hand-over-probe.exe";
    ASSERT_TRUE(CopyFileA(probe.c_str(), original.c_str(), FALSE));
    ASSERT_TRUE(SetFileAttributesA(original.c_str(), FILE_ATTRIBUTE_READONLY));
    // A read-only copy left by an earlier uninstall, which a plain copy could not replace.
    const std::string copy = scratch.MakeFile("Temp\\R512Uninstall.exe", "old");
    ASSERT_TRUE(SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_READONLY));

    ASSERT_TRUE(uninstall::LaunchSecondStage(original.c_str(), copy.c_str()));
    ASSERT_TRUE(testkit::WaitUntilNoProcessRuns(copy, 15000));

    EXPECT_EQ(GetFileAttributesA(copy.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_NE(testkit::ReadWholeFile(copy), "old");
    // What the clean-up script does once the copy has ended.
    EXPECT_TRUE(DeleteFileA(copy.c_str()));
    SetFileAttributesA(original.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
