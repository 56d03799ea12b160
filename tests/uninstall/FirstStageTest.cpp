// The first stage with a stand-in for the copy: the hand-over probe, started under the copy's
// name, records the command line it received.
#include <gtest/gtest.h>

#include <algorithm>

#include "FirstStage.h"
#include "StageFixture.h"
#include "UninstallEntryRemoval.h"
#include "support/Processes.h"
#include "support/Waiting.h"

namespace {

using namespace r512;
using testkit::kUninstallEntry;

class FirstStageTest : public testkit::StageFixture {
protected:
    void SetUp() override {
        StageFixture::SetUp();
        Install(ProbePath());
        ASSERT_TRUE(ProgramFilesPresent()) << "the probe is missing: " << ProbePath();
        moduleName = installFolder + "uninstall.exe";
    }

    // A copy that a test started must have ended before the scratch folder can go.
    void TearDown() override {
        EXPECT_TRUE(testkit::WaitUntilNoProcessRuns(CopyPath(), 15000));
        StageFixture::TearDown();
    }

    std::string CopyPath() const { return tempFolder + "\\R512Uninstall.exe"; }
    std::string CopyRecord() const { return testkit::ReadWholeFile(CopyPath() + ".ran"); }
    // The probe writes three lines per start; a partly written record counts as not yet there.
    long CopyRecordLines() const {
        const std::string record = CopyRecord();
        return std::count(record.begin(), record.end(), '\n');
    }

    std::string moduleName;
};

TEST_F(FirstStageTest, NoToTheConfirmationChangesNothing) {
    boxes.Answer(IDNO);
    EXPECT_EQ(uninstall::RunFirstStage(moduleName.c_str(), context), 0);

    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Are you sure you wish to uninstall R512 Control Software?");
    EXPECT_EQ(boxes.Shown()[0].caption, "R512 Control Software");
    EXPECT_EQ(boxes.Shown()[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_TRUE(ShortcutsPresent());
    EXPECT_TRUE(testkit::KeyExists(registry.Machine(), kUninstallEntry));
    EXPECT_FALSE(testkit::Exists(CopyPath()));
}

TEST_F(FirstStageTest, YesRemovesShortcutsAndEntryAndStartsTheCopyWithTheFolder) {
    boxes.Answer(IDYES);
    EXPECT_EQ(uninstall::RunFirstStage(moduleName.c_str(), context), 0);

    EXPECT_FALSE(testkit::Exists(folders.StartMenuShortcut()));
    EXPECT_FALSE(testkit::Exists(folders.Programs() + "\\ZEL"));
    EXPECT_FALSE(testkit::Exists(folders.DesktopShortcut()));
    EXPECT_FALSE(testkit::KeyExists(registry.Machine(), kUninstallEntry));
    EXPECT_TRUE(testkit::KeyExists(registry.Machine(),
                                   "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    EXPECT_TRUE(ProgramFilesPresent());  // the second stage's work
    EXPECT_EQ(boxes.Shown().size(), 1u);

    // The temporary folder's path holds a space: the copy must still receive exactly the
    // installation folder, with its trailing backslash, as its command-line tail.
    ASSERT_TRUE(testkit::WaitUntil([&] { return CopyRecordLines() >= 3; }, 15000));
    const std::string record = CopyRecord();
    const std::string tail = record.substr(record.find('\n') + 1);
    EXPECT_EQ(tail.substr(0, tail.find('\n')), installFolder) << record;
}

TEST_F(FirstStageTest, TheMakersStartMenuFolderStaysWithOtherShortcuts) {
    scratch.MakeFile("Start Menu\\Programs\\ZEL\\Other Product.lnk");
    boxes.Answer(IDYES);
    uninstall::RunFirstStage(moduleName.c_str(), context);

    EXPECT_FALSE(testkit::Exists(folders.StartMenuShortcut()));
    EXPECT_TRUE(testkit::Exists(folders.Programs() + "\\ZEL\\Other Product.lnk"));
}

TEST_F(FirstStageTest, MissingEntryAsksAndNoEndsWithOneAfterTheShortcuts) {
    RegDeleteKeyA(registry.Machine(), kUninstallEntry.c_str());
    boxes.Answer(IDYES);
    boxes.Answer(IDNO);

    EXPECT_EQ(uninstall::RunFirstStage(moduleName.c_str(), context), 1);

    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[1].text, uninstall::kEntryRemovalFailedText);
    EXPECT_EQ(boxes.Shown()[1].caption, "R512 Control Software");
    EXPECT_EQ(boxes.Shown()[1].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_FALSE(testkit::Exists(folders.DesktopShortcut()));
    EXPECT_FALSE(testkit::Exists(CopyPath()));
}

TEST_F(FirstStageTest, MissingEntryAndYesGoesOn) {
    RegDeleteKeyA(registry.Machine(), kUninstallEntry.c_str());
    boxes.Answer(IDYES);
    boxes.Answer(IDYES);

    EXPECT_EQ(uninstall::RunFirstStage(moduleName.c_str(), context), 0);
    EXPECT_TRUE(testkit::WaitUntil([&] { return !CopyRecord().empty(); }, 15000));
}

TEST_F(FirstStageTest, ACopyThatCannotStartIsReportedAndEndsWithOne) {
    const std::string missing = tempFolder + "\\no such folder";
    TemporaryFolderOverride override(missing);
    boxes.Answer(IDYES);

    EXPECT_EQ(uninstall::RunFirstStage(moduleName.c_str(), context), 1);
    EXPECT_FALSE(testkit::Exists(missing));
    EXPECT_TRUE(ProgramFilesPresent());
    // The shortcuts and the entry are gone already: the user is told that the files remain.
    EXPECT_FALSE(ShortcutsPresent());
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[1].text, uninstall::kCopyNotStartedText);
    EXPECT_EQ(boxes.Shown()[1].caption, "R512 Control Software");
    EXPECT_EQ(boxes.Shown()[1].type, static_cast<UINT>(MB_ICONERROR));
}

TEST(UninstallEntryRemoval, FailsWhenTheListCannotBeOpened) {
    testkit::RegistrySandbox registry;  // an empty machine: no uninstall list at all
    EXPECT_FALSE(uninstall::RemoveUninstallEntry(registry.Machine()));
}

}  // namespace
