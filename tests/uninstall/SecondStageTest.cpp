// The second stage in process, with a plain file standing in for the copy, so that the real
// clean-up script can be seen deleting it.
#include <gtest/gtest.h>

#include "SecondStage.h"
#include "StageFixture.h"
#include "support/Waiting.h"

namespace {

using namespace r512;
using testkit::kSettings;

class SecondStageTest : public testkit::StageFixture {
protected:
    void SetUp() override {
        StageFixture::SetUp();
        Install();
        copyPath = scratch.MakeFile("Jo Smith\\Local Temp\\R512Uninstall.exe");
    }
    // The script started by a test must be done before the scratch folder goes.
    void ScriptFinished() {
        EXPECT_TRUE(testkit::WaitUntil(
            [&] { return !testkit::Exists(copyPath) && !testkit::Exists(copyPath + ".bat"); },
            30000));
    }

    std::string copyPath;
};

TEST_F(SecondStageTest, AnEmptyCommandLineEndsWithOneAndRemovesNothing) {
    EXPECT_EQ(uninstall::RunSecondStage("", copyPath.c_str(), context), 1);

    EXPECT_TRUE(ProgramFilesPresent());
    EXPECT_TRUE(testkit::KeyExists(registry.User(), kSettings + "\\Config"));
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_TRUE(testkit::Exists(copyPath));
    EXPECT_FALSE(testkit::Exists(copyPath + ".bat"));
}

TEST_F(SecondStageTest, RemovesEverythingAndTheScriptRemovesTheCopy) {
    EXPECT_EQ(uninstall::RunSecondStage(installFolder.c_str(), copyPath.c_str(), context), 0);

    EXPECT_FALSE(testkit::Exists(installFolder));
    EXPECT_FALSE(testkit::Exists(scratch.At("Program Files\\ZEL")));
    EXPECT_TRUE(testkit::Exists(scratch.At("Program Files")));
    EXPECT_FALSE(testkit::KeyExists(registry.User(), "Software\\ZEL"));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Uninstall Complete");
    EXPECT_EQ(boxes.Shown()[0].caption, "R512 Control Software");
    EXPECT_EQ(boxes.Shown()[0].owner, nullptr);
    EXPECT_EQ(boxes.Shown()[0].type, static_cast<UINT>(MB_ICONINFORMATION));
    ScriptFinished();
}

TEST_F(SecondStageTest, AFolderTypedWithoutItsBackslashStillWorks) {
    const std::string folder = installFolder.substr(0, installFolder.size() - 1);
    EXPECT_EQ(uninstall::RunSecondStage(folder.c_str(), copyPath.c_str(), context), 0);
    EXPECT_FALSE(testkit::Exists(installFolder + "R512.exe"));
    EXPECT_FALSE(testkit::Exists(installFolder));
    ScriptFinished();
}

TEST_F(SecondStageTest, WithoutAScriptTheCompletionIsStillShown) {
    const std::string nowhere = scratch.At("gone\\R512Uninstall.exe");
    EXPECT_EQ(uninstall::RunSecondStage(installFolder.c_str(), nowhere.c_str(), context), 0);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Uninstall Complete");
    EXPECT_FALSE(ProgramFilesPresent());
}

}  // namespace
