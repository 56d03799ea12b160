// What "Next >>" does, step by step, with every outside effect sandboxed.
#include <gtest/gtest.h>

#include "SetupFixture.h"
#include "UninstallRegistration.h"
#include "support/ShortcutReader.h"
#include "support/Waiting.h"

namespace {

using namespace r512;
using testkit::kUninstallEntry;

class InstallStepsTest : public testkit::SetupFixture {};

TEST_F(InstallStepsTest, AllChoicesRegisterLinkReportAndStart) {
    setup::PerformInstallation(nullptr, setup::InstallChoices{true, true, true}, context);

    EXPECT_EQ(testkit::ReadText(registry.Machine(), kUninstallEntry, "UninstallString"),
              "\"" + installFolder + "\\uninstall.exe\"");
    EXPECT_EQ(testkit::ReadText(registry.Machine(), kUninstallEntry, "DisplayName"),
              "R512 Control Software");
    for (const std::string& link : {folders.StartMenuShortcut(), folders.DesktopShortcut()}) {
        const auto content = testkit::ReadShortcut(link);
        ASSERT_TRUE(content.has_value()) << link;
        EXPECT_EQ(content->target, programPath);
        EXPECT_EQ(content->description, "R512 Control Software");
    }
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Installation Complete");
    EXPECT_EQ(boxes.Shown()[0].caption, "R512 Control Software Setup");
    EXPECT_EQ(boxes.Shown()[0].owner, nullptr);
    EXPECT_EQ(boxes.Shown()[0].type, static_cast<UINT>(MB_ICONINFORMATION));

    ASSERT_TRUE(testkit::WaitUntil([&] { return ProgramStarts() == 1; }, 15000));
    // Started with no command line of its own, in setup's current directory.
    const std::string record = testkit::ReadWholeFile(programPath + ".ran");
    char here[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, here);
    EXPECT_NE(record.find("\n\n" + std::string(here) + "\n"), std::string::npos) << record;
}

TEST_F(InstallStepsTest, NoChoicesStillRegisterAndReport) {
    setup::PerformInstallation(nullptr, setup::InstallChoices{false, false, false}, context);

    EXPECT_EQ(testkit::ValueCount(registry.Machine(), kUninstallEntry), 2);
    EXPECT_FALSE(testkit::Exists(folders.Programs() + "\\ZEL"));
    EXPECT_FALSE(testkit::Exists(folders.DesktopShortcut()));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Installation Complete");

    // A start cannot be proven absent without waiting; so start the program once on purpose and
    // wait for that record: a wrongful start from the first call began earlier and shows as a
    // second record.
    setup::PerformInstallation(nullptr, setup::InstallChoices{false, false, true}, context);
    ASSERT_TRUE(testkit::WaitUntil([&] { return ProgramStarts() >= 1; }, 15000));
    EXPECT_TRUE(testkit::WaitUntil([&] { return ProgramStarts() > 1; }, 500) == false);
}

TEST_F(InstallStepsTest, FailedRegistrationIsReportedAndTheShortcutsStillMade) {
    context.roots.machine = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7777770));
    const HWND owner = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x1234));

    setup::PerformInstallation(owner, setup::InstallChoices{true, true, false}, context);

    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, setup::kRegistrationFailedText);
    EXPECT_EQ(boxes.Shown()[0].owner, owner);
    EXPECT_EQ(boxes.Shown()[0].caption, "R512 Control Software Setup");
    EXPECT_EQ(boxes.Shown()[0].type, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(boxes.Shown()[1].text, "Installation Complete");
    EXPECT_TRUE(testkit::ReadShortcut(folders.StartMenuShortcut()).has_value());
    EXPECT_TRUE(testkit::ReadShortcut(folders.DesktopShortcut()).has_value());
}

// Installed at a 250-character path: the uninstall command does not fit, and the message says
// so instead of blaming the user's rights.
TEST_F(InstallStepsTest, AnOverlongFolderIsReportedAsSuch) {
    const std::string folder = "C:\\" + std::string(247, 'p');
    installer::CopyText(context.paths.installFolder, folder.c_str());
    context.paths.programPath[0] = '\0';  // R512.exe's path would not fit either

    setup::PerformInstallation(nullptr, setup::InstallChoices{false, false, false}, context);

    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, setup::kPathTooLongText);
    EXPECT_EQ(boxes.Shown()[0].text.find("administrative privileges"), std::string::npos);
    EXPECT_EQ(boxes.Shown()[1].text, "Installation Complete");
    EXPECT_FALSE(testkit::KeyExists(registry.Machine(), kUninstallEntry));
}

TEST_F(InstallStepsTest, RunningTwiceLeavesOneOfEach) {
    setup::PerformInstallation(nullptr, setup::InstallChoices{true, true, false}, context);
    setup::PerformInstallation(nullptr, setup::InstallChoices{true, true, false}, context);

    EXPECT_EQ(testkit::ValueCount(registry.Machine(), kUninstallEntry), 2);
    int startMenuEntries = 0;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folders.Programs() + "\\ZEL\\*").c_str(), &entry);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        startMenuEntries += entry.cFileName[0] != '.';
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    EXPECT_EQ(startMenuEntries, 1);
    EXPECT_TRUE(testkit::ReadShortcut(folders.DesktopShortcut()).has_value());
}

}  // namespace
