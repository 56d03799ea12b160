// The real Setup.exe and uninstall.exe, started as a user would start them and answered the way
// a user would answer them, against the real registry, Start Menu and desktop of a throw-away
// Wine prefix. Run only through run-in-throwaway-prefix.sh, never in a prefix that matters.
//
// Arguments after GoogleTest's: the paths of Setup.exe, uninstall.exe and the hand-over probe
// (Unix paths are taken as paths on drive Z:, where Wine shows the Unix root).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Processes.h"
#include "RegistrySandbox.h"
#include "ScratchFolder.h"
#include "ShellFolders.h"
#include "ShortcutReader.h"
#include "TemporaryFolderOverride.h"
#include "Waiting.h"
#include "WindowFinder.h"

namespace {

using namespace r512;
using namespace r512::testkit;

std::string setupProgram, uninstallProgram, probeProgram;

constexpr DWORD kTimeoutMs = 30000;
const std::string kEntry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\R512 Control";
const std::string kSettings = "Software\\ZEL\\R512 Control Software";
constexpr char kSetupCaption[] = "R512 Control Software Setup";
constexpr char kUninstallCaption[] = "R512 Control Software";

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        std::replace(path.begin(), path.end(), '/', '\\');
        path = "Z:" + path;
    }
    return path;
}

std::string ShellFolder(int csidl) {
    installer::SystemShellFolders shell;
    char path[MAX_PATH];
    return shell.PathOf(csidl, path) ? std::string(path) : std::string();
}

int CountFiles(const std::string& folder) {
    int count = 0;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        count += (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return count;
}

void DeleteKeyTree(HKEY root, const std::string& path) { RegDeleteTreeA(root, path.c_str()); }

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(Exists(setupProgram)) << setupProgram;
        ASSERT_TRUE(Exists(uninstallProgram)) << uninstallProgram;
        programs = ShellFolder(CSIDL_PROGRAMS);
        desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
        ASSERT_FALSE(programs.empty());
        ASSERT_FALSE(desktop.empty());
        startMenuShortcut = programs + "\\ZEL\\R512 Control Software.lnk";
        desktopShortcut = desktop + "\\R512 Control Software.lnk";
        // A user profile folder with a space in its name holds the temporary folder.
        temp = std::make_unique<TemporaryFolderOverride>(tempFolder);

        CopyFileA(probeProgram.c_str(), (installFolder + "\\R512.exe").c_str(), FALSE);
        CopyFileA(setupProgram.c_str(), (installFolder + "\\Setup.exe").c_str(), FALSE);
        CopyFileA(uninstallProgram.c_str(), (installFolder + "\\uninstall.exe").c_str(), FALSE);
    }

    void TearDown() override {
        // Whatever a failed run left behind, so that the next test starts clean.
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kEntry);
        DeleteKeyTree(HKEY_CURRENT_USER, "Software\\ZEL");
        DeleteFileA(startMenuShortcut.c_str());
        RemoveDirectoryA((programs + "\\ZEL").c_str());
        DeleteFileA(desktopShortcut.c_str());
        temp.reset();
        CoUninitialize();
    }

    // Runs Setup.exe from the installation folder. user works the dialog; then "Installation
    // Complete" is confirmed and setup must end with 0.
    void RunSetup(const std::function<void(HWND dialog, const Process&)>& user) {
        Process setup = Start(installFolder + "\\Setup.exe", "Setup.exe", installFolder);
        ASSERT_TRUE(setup.Started());
        const HWND dialog = WaitForWindow({0, setup.Id()}, kSetupCaption,
                                          "Select Operations to Perform:", kTimeoutMs);
        if (dialog == nullptr) setup.Kill();
        ASSERT_NE(dialog, nullptr) << "setup's dialog did not appear";
        user(dialog, setup);
        const HWND done =
            WaitForWindow({0, setup.Id()}, kSetupCaption, "Installation Complete", kTimeoutMs);
        if (done == nullptr) setup.Kill();
        ASSERT_NE(done, nullptr) << "no \"Installation Complete\"";
        ClickButton(done, IDOK);
        EXPECT_EQ(setup.WaitForExit(kTimeoutMs), 0u);
    }

    void ExpectInstalled() {
        EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kEntry, "UninstallString"),
                  installFolder + "\\uninstall.exe");
        EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kEntry, "DisplayName"), "R512 Control Software");
        EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, kEntry), 2);
        for (const std::string& link : {startMenuShortcut, desktopShortcut}) {
            const auto content = ReadShortcut(link);
            ASSERT_TRUE(content.has_value()) << link;
            EXPECT_EQ(content->target, installFolder + "\\R512.exe");
            EXPECT_EQ(content->description, "R512 Control Software");
        }
        EXPECT_EQ(CountFiles(programs + "\\ZEL"), 1);
    }

    void WriteSettings() {
        WriteText(HKEY_CURRENT_USER, kSettings + "\\Config", "Port", "COM1");
        WriteText(HKEY_CURRENT_USER, kSettings + "\\Position", "main.x", "100");
    }

    // Starts uninstall.exe from the installation folder and answers its confirmation.
    Process StartUninstall(int answer) {
        Process first = Start(installFolder + "\\uninstall.exe", "uninstall.exe", installFolder);
        EXPECT_TRUE(first.Started());
        const HWND question =
            WaitForWindow({0, first.Id()}, kUninstallCaption,
                          "Are you sure you wish to uninstall R512 Control Software?", kTimeoutMs);
        if (question == nullptr) first.Kill();
        EXPECT_NE(question, nullptr) << "no confirmation";
        if (question != nullptr) ClickButton(question, answer);
        return first;
    }

    // Confirms the second stage's "Uninstall Complete"; returns the second stage's exit code.
    std::optional<DWORD> FinishSecondStage() {
        Process second = WaitForProcessNamed("R512Uninstall.exe", kTimeoutMs);
        EXPECT_TRUE(second.Started()) << "the second stage did not start";
        const HWND done =
            WaitForWindow({0, second.Id()}, kUninstallCaption, "Uninstall Complete", kTimeoutMs);
        if (done == nullptr) second.Kill();
        EXPECT_NE(done, nullptr) << "no \"Uninstall Complete\"";
        if (done != nullptr) ClickButton(done, IDOK);
        return second.WaitForExit(kTimeoutMs);
    }

    std::string CopyPath() const { return tempFolder + "\\R512Uninstall.exe"; }

    ScratchFolder scratch{"end to end"};
    std::string installFolder = scratch.MakeFolder("Program Files\\ZEL\\R512");
    std::string tempFolder = scratch.MakeFolder("Jo Smith\\Local Temp");
    std::unique_ptr<TemporaryFolderOverride> temp;
    std::string programs, desktop, startMenuShortcut, desktopShortcut;
};

TEST_F(EndToEndTest, InstallTwiceThenUninstallCompletely) {
    RunSetup([](HWND dialog, const Process&) { PressKey(dialog, VK_RETURN); });
    ExpectInstalled();
    // The main program was started, from the installation folder.
    const std::string record = installFolder + "\\R512.exe.ran";
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::string text = ReadWholeFile(record);
            return std::count(text.begin(), text.end(), '\n') >= 3;
        },
        kTimeoutMs));
    const std::string text = ReadWholeFile(record);
    EXPECT_NE(text.find("\n" + installFolder + "\n"), std::string::npos) << text;
    // Not one of the installation's files: it would keep the folder from being removed.
    ASSERT_TRUE(DeleteFileA(record.c_str()));

    // Second run: Escape does nothing, the close box asks and No keeps the dialog; the program
    // is not to be started this time.
    RunSetup([&](HWND dialog, const Process& setup) {
        PressKey(dialog, VK_ESCAPE);
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        const HWND question = WaitForWindow({0, setup.Id()}, kSetupCaption,
                                            "Are you sure you want to exit?", kTimeoutMs);
        ASSERT_NE(question, nullptr) << "the close box did not ask";
        ClickButton(question, IDNO);
        SendMessageA(GetDlgItem(dialog, 1002), BM_SETCHECK, BST_UNCHECKED, 0);
        PressKey(dialog, VK_RETURN);
    });
    ExpectInstalled();

    WriteSettings();
    Process first = StartUninstall(IDYES);
    EXPECT_EQ(first.WaitForExit(kTimeoutMs), 0u);
    EXPECT_EQ(FinishSecondStage(), 0u);

    EXPECT_FALSE(Exists(installFolder));
    EXPECT_FALSE(Exists(scratch.At("Program Files\\ZEL")));
    EXPECT_TRUE(Exists(scratch.At("Program Files")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\ZEL"));
    EXPECT_FALSE(Exists(startMenuShortcut));
    EXPECT_FALSE(Exists(programs + "\\ZEL"));
    EXPECT_FALSE(Exists(desktopShortcut));
    // The script outlives the second stage and deletes the copy, then itself.
    EXPECT_TRUE(
        WaitUntil([&] { return !Exists(CopyPath()) && !Exists(CopyPath() + ".bat"); }, kTimeoutMs));
}

TEST_F(EndToEndTest, AnotherProductKeepsTheMakersKey) {
    RunSetup([](HWND dialog, const Process&) {
        SendMessageA(GetDlgItem(dialog, 1002), BM_SETCHECK, BST_UNCHECKED, 0);
        PressKey(dialog, VK_RETURN);
    });
    WriteSettings();
    WriteText(HKEY_CURRENT_USER, "Software\\ZEL\\Other Product", "x", "1");

    Process first = StartUninstall(IDYES);
    EXPECT_EQ(first.WaitForExit(kTimeoutMs), 0u);
    EXPECT_EQ(FinishSecondStage(), 0u);

    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettings));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\ZEL\\Other Product"));
    EXPECT_FALSE(Exists(installFolder));
    EXPECT_TRUE(
        WaitUntil([&] { return !Exists(CopyPath()) && !Exists(CopyPath() + ".bat"); }, kTimeoutMs));
}

TEST_F(EndToEndTest, NoToTheConfirmationRemovesNothing) {
    RunSetup([](HWND dialog, const Process&) {
        SendMessageA(GetDlgItem(dialog, 1002), BM_SETCHECK, BST_UNCHECKED, 0);
        PressKey(dialog, VK_RETURN);
    });
    WriteSettings();

    Process first = StartUninstall(IDNO);
    EXPECT_EQ(first.WaitForExit(kTimeoutMs), 0u);

    ExpectInstalled();
    EXPECT_EQ(CountFiles(installFolder), 3);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettings + "\\Config"));
    EXPECT_FALSE(Exists(CopyPath()));
}

TEST_F(EndToEndTest, TheCopyWithAnEmptyCommandLineEndsWithOneAndRemovesNothing) {
    RunSetup([](HWND dialog, const Process&) {
        SendMessageA(GetDlgItem(dialog, 1002), BM_SETCHECK, BST_UNCHECKED, 0);
        PressKey(dialog, VK_RETURN);
    });
    WriteSettings();
    // Named in other letter case than the copy: the name test ignores case.
    const std::string copy = tempFolder + "\\r512uninstall.EXE";
    ASSERT_TRUE(CopyFileA(uninstallProgram.c_str(), copy.c_str(), FALSE));

    Process second = Start(copy, "\"" + copy + "\"", tempFolder);
    ASSERT_TRUE(second.Started());
    const auto code = second.WaitForExit(kTimeoutMs);
    if (!code) second.Kill();
    EXPECT_EQ(code, 1u);

    ExpectInstalled();
    EXPECT_EQ(CountFiles(installFolder), 3);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettings + "\\Config"));
    EXPECT_FALSE(Exists(copy + ".bat"));
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 4) {
        fprintf(stderr, "usage: %s Setup.exe uninstall.exe hand-over-probe.exe\n", argv[0]);
        return 2;
    }
    setupProgram = WindowsPath(argv[1]);
    uninstallProgram = WindowsPath(argv[2]);
    probeProgram = WindowsPath(argv[3]);
    return RUN_ALL_TESTS();
}
