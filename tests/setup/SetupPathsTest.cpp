// The installation folder is the current directory, not the folder of setup's own file.
#include <gtest/gtest.h>
#include <windows.h>

#include "SetupPaths.h"
#include "support/ScratchFolder.h"

namespace {

using namespace r512;

class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& folder) {
        GetCurrentDirectoryA(MAX_PATH, saved_);
        SetCurrentDirectoryA(folder.c_str());
    }
    ~CurrentDirectory() { SetCurrentDirectoryA(saved_); }

private:
    char saved_[MAX_PATH] = "";
};

TEST(SetupPaths, ComeFromTheCurrentDirectoryEvenWithoutProgramFiles) {
    testkit::ScratchFolder scratch("paths");
    const std::string folder = scratch.MakeFolder("Elsewhere Entirely");
    CurrentDirectory here(folder);

    setup::SetupPaths paths;
    ASSERT_TRUE(setup::FormSetupPaths(paths));
    EXPECT_EQ(std::string(paths.installFolder), folder);
    EXPECT_EQ(std::string(paths.programPath), folder + "\\R512.exe");
}

TEST(SetupPaths, AtADriveRootTheProgramPathHasOneBackslash) {
    CurrentDirectory here("C:\\");

    setup::SetupPaths paths;
    ASSERT_TRUE(setup::FormSetupPaths(paths));
    EXPECT_STREQ(paths.installFolder, "C:\\");
    EXPECT_STREQ(paths.programPath, "C:\\R512.exe");
}

}  // namespace
