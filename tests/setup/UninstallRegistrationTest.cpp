// The uninstall entry setup writes, in a registry sandbox.
#include <gtest/gtest.h>

#include <string>

#include "UninstallRegistration.h"
#include "support/RegistrySandbox.h"

namespace {

using namespace r512;

const std::string kEntry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\R512 Control";

TEST(UninstallRegistration, WritesBothValues) {
    testkit::RegistrySandbox registry;
    ASSERT_TRUE(setup::RegisterUninstaller(registry.Machine(), "C:\\Program Files\\ZEL\\R512"));

    EXPECT_EQ(testkit::ReadText(registry.Machine(), kEntry, "UninstallString"),
              "\"C:\\Program Files\\ZEL\\R512\\uninstall.exe\"");
    EXPECT_EQ(testkit::ReadText(registry.Machine(), kEntry, "DisplayName"),
              "R512 Control Software");
    EXPECT_EQ(testkit::ValueCount(registry.Machine(), kEntry), 2);
}

TEST(UninstallRegistration, SecondRunRewritesTheOneEntry) {
    testkit::RegistrySandbox registry;
    ASSERT_TRUE(setup::RegisterUninstaller(registry.Machine(), "C:\\Old"));
    ASSERT_TRUE(setup::RegisterUninstaller(registry.Machine(), "D:\\New Place"));

    EXPECT_EQ(testkit::ReadText(registry.Machine(), kEntry, "UninstallString"),
              "\"D:\\New Place\\uninstall.exe\"");
    EXPECT_EQ(testkit::ValueCount(registry.Machine(), kEntry), 2);
}

TEST(UninstallRegistration, AtADriveRootTheFolderKeepsItsOneBackslash) {
    testkit::RegistrySandbox registry;
    ASSERT_TRUE(setup::RegisterUninstaller(registry.Machine(), "C:\\"));
    EXPECT_EQ(testkit::ReadText(registry.Machine(), kEntry, "UninstallString"),
              "\"C:\\uninstall.exe\"");
}

TEST(UninstallRegistration, FailsWhenTheKeyCannotBeCreated) {
    // A handle that names no key: creating the entry fails as it does without the rights.
    const HKEY noKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7777770));
    EXPECT_FALSE(setup::RegisterUninstaller(noKey, "C:\\R512"));
}

TEST(UninstallRegistration, FailsRatherThanCutAnOverlongPath) {
    testkit::RegistrySandbox registry;
    const std::string folder = "C:\\" + std::string(MAX_PATH - 10, 'x');
    EXPECT_FALSE(setup::RegisterUninstaller(registry.Machine(), folder.c_str()));
    EXPECT_FALSE(testkit::KeyExists(registry.Machine(), kEntry));
}

}  // namespace
