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
    ASSERT_EQ(setup::RegisterUninstaller(registry.Machine(), "C:\\Program Files\\ZEL\\R512"),
              setup::Registration::Registered);

    EXPECT_EQ(testkit::ReadText(registry.Machine(), kEntry, "UninstallString"),
              "\"C:\\Program Files\\ZEL\\R512\\uninstall.exe\"");
    EXPECT_EQ(testkit::ReadText(registry.Machine(), kEntry, "DisplayName"),
              "R512 Control Software");
    EXPECT_EQ(testkit::ValueCount(registry.Machine(), kEntry), 2);
}

TEST(UninstallRegistration, SecondRunRewritesTheOneEntry) {
    testkit::RegistrySandbox registry;
    ASSERT_EQ(setup::RegisterUninstaller(registry.Machine(), "C:\\Old"),
              setup::Registration::Registered);
    ASSERT_EQ(setup::RegisterUninstaller(registry.Machine(), "D:\\New Place"),
              setup::Registration::Registered);

    EXPECT_EQ(testkit::ReadText(registry.Machine(), kEntry, "UninstallString"),
              "\"D:\\New Place\\uninstall.exe\"");
    EXPECT_EQ(testkit::ValueCount(registry.Machine(), kEntry), 2);
}

TEST(UninstallRegistration, AtADriveRootTheFolderKeepsItsOneBackslash) {
    testkit::RegistrySandbox registry;
    ASSERT_EQ(setup::RegisterUninstaller(registry.Machine(), "C:\\"),
              setup::Registration::Registered);
    EXPECT_EQ(testkit::ReadText(registry.Machine(), kEntry, "UninstallString"),
              "\"C:\\uninstall.exe\"");
}

TEST(UninstallRegistration, FailsWhenTheKeyCannotBeCreated) {
    // A handle that names no key: creating the entry fails as it does without the rights.
    const HKEY noKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7777770));
    EXPECT_EQ(setup::RegisterUninstaller(noKey, "C:\\R512"), setup::Registration::Refused);
}

// The command is the folder, "\uninstall.exe" and two quotes: it fits up to a folder of 243
// characters (259 and the terminating zero). One more is too long, and is said so, not cut.
TEST(UninstallRegistration, AnOverlongPathIsToldAsSuchAndNothingIsWritten) {
    struct Case {
        std::size_t folderLength;
        setup::Registration expected;
    };
    const Case cases[] = {
        {243, setup::Registration::Registered},
        {244, setup::Registration::PathTooLong},
        {250, setup::Registration::PathTooLong},
        {MAX_PATH - 1, setup::Registration::PathTooLong},
    };
    for (const Case& c : cases) {
        testkit::RegistrySandbox registry;
        const std::string folder = "C:\\" + std::string(c.folderLength - 3, 'x');
        EXPECT_EQ(setup::RegisterUninstaller(registry.Machine(), folder.c_str()), c.expected)
            << c.folderLength;
        EXPECT_EQ(testkit::KeyExists(registry.Machine(), kEntry),
                  c.expected == setup::Registration::Registered)
            << c.folderLength;
    }
}

}  // namespace
