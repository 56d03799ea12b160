#include <gtest/gtest.h>
#include <windows.h>

#include "FolderRemoval.h"
#include "support/ScratchFolder.h"
#include "support/ScratchShellFolders.h"

namespace {

using namespace r512;

// The removal moves the process into the Windows folder; the tests put it back.
class FolderRemovalTest : public ::testing::Test {
protected:
    void SetUp() override { GetCurrentDirectoryA(MAX_PATH, saved_); }
    void TearDown() override { SetCurrentDirectoryA(saved_); }

    testkit::ScratchFolder scratch{"folders"};
    testkit::ScratchShellFolders shellFolders{scratch};

private:
    char saved_[MAX_PATH] = "";
};

TEST_F(FolderRemovalTest, RemovesEmptyFolderAndEmptyParent) {
    const std::string folder = scratch.MakeFolder("Program Files\\ZEL\\R512");
    uninstall::RemoveInstallationFolders((folder + "\\").c_str(), shellFolders);

    EXPECT_FALSE(testkit::Exists(folder));
    EXPECT_FALSE(testkit::Exists(scratch.At("Program Files\\ZEL")));
    EXPECT_TRUE(testkit::Exists(scratch.At("Program Files")));  // only one level up
}

TEST_F(FolderRemovalTest, EvenWhenTheFolderWasTheCurrentDirectory) {
    const std::string folder = scratch.MakeFolder("ZEL\\R512");
    SetCurrentDirectoryA(folder.c_str());
    uninstall::RemoveInstallationFolders((folder + "\\").c_str(), shellFolders);

    EXPECT_FALSE(testkit::Exists(folder));
    char windowsFolder[MAX_PATH], here[MAX_PATH];
    GetWindowsDirectoryA(windowsFolder, MAX_PATH);
    GetCurrentDirectoryA(MAX_PATH, here);
    EXPECT_EQ(lstrcmpiA(windowsFolder, here), 0) << here;
}

TEST_F(FolderRemovalTest, LeavesFoldersThatAreNotEmpty) {
    const std::string folder = scratch.MakeFolder("ZEL\\R512");
    scratch.MakeFile("ZEL\\R512\\R512.exe");
    scratch.MakeFolder("ZEL\\Other Product");
    uninstall::RemoveInstallationFolders((folder + "\\").c_str(), shellFolders);

    EXPECT_TRUE(testkit::Exists(folder + "\\R512.exe"));
    EXPECT_TRUE(testkit::Exists(scratch.At("ZEL\\Other Product")));
}

TEST_F(FolderRemovalTest, ParentWithOtherContentStaysWhileFolderGoes) {
    const std::string folder = scratch.MakeFolder("ZEL\\R512");
    scratch.MakeFile("ZEL\\readme.txt");
    uninstall::RemoveInstallationFolders((folder + "\\").c_str(), shellFolders);

    EXPECT_FALSE(testkit::Exists(folder));
    EXPECT_TRUE(testkit::Exists(scratch.At("ZEL\\readme.txt")));
}

TEST_F(FolderRemovalTest, AnEmptyDesktopStaysWhenTheInstallationWasOnIt) {
    const std::string folder = scratch.MakeFolder("Desktop\\R512");
    uninstall::RemoveInstallationFolders((folder + "\\").c_str(), shellFolders);

    EXPECT_FALSE(testkit::Exists(folder));
    EXPECT_TRUE(testkit::Exists(shellFolders.Desktop()));
}

TEST_F(FolderRemovalTest, TheProgramsFolderItselfStaysEvenAsTheInstallationFolder) {
    // Set up from the Programs folder itself (its current directory): that folder and the
    // Start Menu above it stay, empty or not.
    uninstall::RemoveInstallationFolders((shellFolders.Programs() + "\\").c_str(), shellFolders);
    EXPECT_TRUE(testkit::Exists(shellFolders.Programs()));
}

}  // namespace
