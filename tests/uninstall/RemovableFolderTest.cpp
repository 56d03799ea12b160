// Which folders the uninstaller may remove: never a drive, a root or a special folder of the
// shell, whatever the command line says.
#include <gtest/gtest.h>

#include <string>

#include "RemovableFolder.h"
#include "support/ScratchFolder.h"
#include "support/ScratchShellFolders.h"

namespace {

using namespace r512;

std::string InCapitals(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

TEST(RemovableFolder, NeverADriveARootOrASpecialFolder) {
    testkit::ScratchFolder scratch("removable");
    testkit::ScratchShellFolders folders(scratch);
    const std::string kept[] = {
        "",
        "D:",  // the current folder on drive D, not a folder of the installation
        "D:\\",
        "d:\\\\",
        "\\\\server\\share",
        "\\\\server\\share\\",
        "\\\\server",
        "R512",
        "D:R512",
        folders.Desktop(),
        folders.Desktop() + "\\",
        InCapitals(folders.Programs()),
    };
    for (const std::string& folder : kept) {
        EXPECT_FALSE(uninstall::IsRemovableFolder(folder.c_str(), folders)) << folder;
    }
    const std::string removable[] = {
        "D:\\R512",
        "D:\\ZEL\\R512\\",
        "\\\\server\\share\\R512",
        folders.Programs() + "\\ZEL",
        folders.Desktop() + "\\R512",
    };
    for (const std::string& folder : removable) {
        EXPECT_TRUE(uninstall::IsRemovableFolder(folder.c_str(), folders)) << folder;
    }
}

}  // namespace
