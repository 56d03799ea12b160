#include <gtest/gtest.h>
#include <windows.h>

#include "ProgramFileRemoval.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedMessageBoxes.h"

namespace {

using namespace r512;

class ProgramFileRemovalTest : public ::testing::Test {
protected:
    ProgramFileRemovalTest() : folder(scratch.MakeFolder("ZEL\\R512") + "\\") {}

    testkit::ScratchFolder scratch{"files"};
    std::string folder;  // with its trailing backslash, as the second stage has it
    testkit::ScriptedMessageBoxes boxes;
};

TEST_F(ProgramFileRemovalTest, DeletesTheThreeFilesAndNothingElse) {
    for (const char* name : {"R512.exe", "Setup.exe", "uninstall.exe", "notes.txt"}) {
        scratch.MakeFile(std::string("ZEL\\R512\\") + name);
    }
    uninstall::DeleteProgramFiles(folder.c_str(), boxes);

    EXPECT_FALSE(testkit::Exists(folder + "R512.exe"));
    EXPECT_FALSE(testkit::Exists(folder + "Setup.exe"));
    EXPECT_FALSE(testkit::Exists(folder + "uninstall.exe"));
    EXPECT_TRUE(testkit::Exists(folder + "notes.txt"));
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ProgramFileRemovalTest, MissingFilesArePassedOverInSilence) {
    scratch.MakeFile("ZEL\\R512\\Setup.exe");
    uninstall::DeleteProgramFiles(folder.c_str(), boxes);
    EXPECT_FALSE(testkit::Exists(folder + "Setup.exe"));
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ProgramFileRemovalTest, AProtectedFileIsOfferedForRetry) {
    const std::string program = scratch.MakeFile("ZEL\\R512\\R512.exe");
    scratch.MakeFile("ZEL\\R512\\Setup.exe");
    SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_READONLY);
    boxes.Answer(IDRETRY);  // still protected: asked again
    boxes.Answer(IDRETRY, [&] { SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_NORMAL); });

    uninstall::DeleteProgramFiles(folder.c_str(), boxes);

    EXPECT_FALSE(testkit::Exists(program));
    EXPECT_FALSE(testkit::Exists(folder + "Setup.exe"));
    ASSERT_EQ(boxes.Shown().size(), 2u);
    const testkit::ShownBox& box = boxes.Shown()[0];
    EXPECT_EQ(box.text, "Could not delete the file: " + program +
                            "\n\nPlease make sure the program is not running and you have "
                            "sufficient privileges to remove the file.");
    EXPECT_FALSE(box.caption.has_value());  // the system's default caption
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.type, static_cast<UINT>(MB_RETRYCANCEL | MB_ICONERROR));
    EXPECT_EQ(boxes.Unscripted(), 0);
}

TEST_F(ProgramFileRemovalTest, CancelKeepsTheFileAndGoesOnWithTheNext) {
    const std::string program = scratch.MakeFile("ZEL\\R512\\R512.exe");
    const std::string setupFile = scratch.MakeFile("ZEL\\R512\\Setup.exe");
    const std::string uninstaller = scratch.MakeFile("ZEL\\R512\\Uninstall.exe");
    SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(uninstaller.c_str(), FILE_ATTRIBUTE_READONLY);
    boxes.Answer(IDCANCEL);
    boxes.Answer(IDCANCEL);

    uninstall::DeleteProgramFiles(folder.c_str(), boxes);

    EXPECT_TRUE(testkit::Exists(program));
    EXPECT_FALSE(testkit::Exists(setupFile));
    EXPECT_TRUE(testkit::Exists(uninstaller));
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_NE(boxes.Shown()[0].text.find(program), std::string::npos);
    EXPECT_NE(boxes.Shown()[1].text.find(uninstaller), std::string::npos);
}

}  // namespace
