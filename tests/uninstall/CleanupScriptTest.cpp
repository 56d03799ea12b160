// The self-deleting script: its exact bytes, and that it really removes the copy and itself.
#include <gtest/gtest.h>

#include "CleanupScript.h"
#include "support/ScratchFolder.h"
#include "support/Waiting.h"

namespace {

using namespace r512;

TEST(CleanupScript, HasFiveLinesEndedByLineFeedsOnlyAndEchoesNothing) {
    EXPECT_EQ(uninstall::CleanupScriptText("C:\\A B\\R512UNINSTALL.EXE",
                                           "C:\\A B\\R512UNINSTALL.EXE.bat"),
              "@echo off\n"
              ":repeat\n"
              "del \"C:\\A B\\R512UNINSTALL.EXE\"\n"
              "if exist \"C:\\A B\\R512UNINSTALL.EXE\" goto repeat\n"
              "del \"C:\\A B\\R512UNINSTALL.EXE.bat\"\n");
}

TEST(CleanupScript, APercentSignIsWrittenSoThatCmdTakesItLiterally) {
    EXPECT_EQ(uninstall::CleanupScriptText("C:\\100% %OS%\\R512Uninstall.exe",
                                           "C:\\100% %OS%\\R512Uninstall.exe.bat"),
              "@echo off\n"
              ":repeat\n"
              "del \"C:\\100%% %%OS%%\\R512Uninstall.exe\"\n"
              "if exist \"C:\\100%% %%OS%%\\R512Uninstall.exe\" goto repeat\n"
              "del \"C:\\100%% %%OS%%\\R512Uninstall.exe.bat\"\n");
}

TEST(CleanupScript, IsWrittenByteForByte) {
    testkit::ScratchFolder scratch("script");
    const std::string script = scratch.At("R512UNINSTALL.EXE.bat");
    const std::string text =
        uninstall::CleanupScriptText("C:\\X\\R512UNINSTALL.EXE", script.c_str());
    scratch.MakeFile("R512UNINSTALL.EXE.bat", std::string(500, 'o'));  // longer: must be replaced

    ASSERT_TRUE(uninstall::WriteCleanupScript(script.c_str(), text));
    EXPECT_EQ(testkit::ReadWholeFile(script), text);
}

TEST(CleanupScript, CannotBeWrittenIntoAMissingFolder) {
    testkit::ScratchFolder scratch("script");
    EXPECT_FALSE(uninstall::WriteCleanupScript(scratch.At("gone\\x.bat").c_str(), ":repeat\n"));
}

// Writes and starts the script for copy; it must remove the copy and itself.
void RunScriptFor(const std::string& copy) {
    ASSERT_TRUE(testkit::Exists(copy));
    const std::string script = copy + ".bat";
    ASSERT_TRUE(uninstall::WriteCleanupScript(
        script.c_str(), uninstall::CleanupScriptText(copy.c_str(), script.c_str())));

    ASSERT_TRUE(uninstall::StartHidden(script.c_str()));
    EXPECT_TRUE(testkit::WaitUntil(
        [&] { return !testkit::Exists(copy) && !testkit::Exists(script); }, 30000));
}

TEST(CleanupScript, StartedHiddenItDeletesTheCopyAndItself) {
    testkit::ScratchFolder scratch("script run");
    const std::string copy = scratch.MakeFile("R512UNINSTALL.EXE");
    // cmd would read "%OS%" as the value of OS, "Windows_NT", in the script unless it is written
    // "%%OS%%", and on its own command line, where nothing escapes it.
    scratch.MakeFolder("%OS% 100%");
    const std::string tricky = scratch.MakeFile("%OS% 100%\\R512Uninstall.exe");
    for (const std::string& path : {copy, tricky}) {
        SCOPED_TRACE(path);
        RunScriptFor(path);
    }
}

}  // namespace
