// The real Setup.exe and uninstall.exe, started as a user would start them and answered the way
// a user would answer them, against the real registry, Start Menu and desktop of a throw-away
// Wine prefix. Run only through run-in-throwaway-prefix.sh, never in a prefix that matters.
//
// Arguments after GoogleTest's: the paths of Setup.exe, uninstall.exe and the hand-over probe,
// and optionally the release folder of the Windows build (Unix paths are taken as paths on drive
// Z:, where Wine shows the Unix root).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ShellFolders.h"
#include "support/Processes.h"
#include "support/RegistrySandbox.h"
#include "support/ScratchFolder.h"
#include "support/ShortcutReader.h"
#include "support/TemporaryFolderOverride.h"
#include "support/Waiting.h"
#include "support/WindowFinder.h"

namespace {

using namespace r512;
using namespace r512::testkit;

std::string setupProgram, uninstallProgram, probeProgram, releaseFolder;

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

// Clears "Run Program After Setup Complete" and presses "Next >>".
void NextWithoutStarting(HWND dialog, const Process&) {
    SendMessageA(GetDlgItem(dialog, 1002), BM_SETCHECK, BST_UNCHECKED, 0);
    PressKey(dialog, VK_RETURN);
}

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
        PlaceProgramFiles(installFolder);
    }

    // What the installation brings before setup runs: the main program (the probe stands in),
    // Setup.exe and uninstall.exe.
    void PlaceProgramFiles(const std::string& folder) const {
        CopyFileA(probeProgram.c_str(), (folder + "\\R512.exe").c_str(), FALSE);
        CopyFileA(setupProgram.c_str(), (folder + "\\Setup.exe").c_str(), FALSE);
        CopyFileA(uninstallProgram.c_str(), (folder + "\\uninstall.exe").c_str(), FALSE);
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
        RunSetupIn(installFolder, user);
    }

    // Setup.exe from installFolder, started in folder (its current directory).
    void RunSetupIn(const std::string& folder,
                    const std::function<void(HWND dialog, const Process&)>& user) {
        Process setup = Start(installFolder + "\\Setup.exe", "Setup.exe", folder);
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
                  "\"" + installFolder + "\\uninstall.exe\"");
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
    // cmd would read "%OS%" in the clean-up script as "Windows_NT" were it not written "%%OS%%".
    std::string tempFolder = scratch.MakeFolder("Jo Smith\\Temp %OS% 100%");
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

TEST_F(EndToEndTest, AReadOnlyUninstallerLeavesNoEndlessScript) {
    RunSetup(NextWithoutStarting);
    const std::string uninstaller = installFolder + "\\uninstall.exe";
    ASSERT_TRUE(SetFileAttributesA(uninstaller.c_str(), FILE_ATTRIBUTE_READONLY));

    Process first = StartUninstall(IDYES);
    EXPECT_EQ(first.WaitForExit(kTimeoutMs), 0u);
    // The read-only original is offered for Retry (the system's default caption); the user
    // cancels and it stays.
    Process second = WaitForProcessNamed("R512Uninstall.exe", kTimeoutMs);
    ASSERT_TRUE(second.Started());
    const HWND protectedFile =
        WaitForWindow({0, second.Id()}, "Error", "Could not delete the file: ", kTimeoutMs);
    if (protectedFile == nullptr) second.Kill();
    ASSERT_NE(protectedFile, nullptr) << "no Retry/Cancel for the read-only uninstall.exe";
    ClickButton(protectedFile, IDCANCEL);
    EXPECT_EQ(FinishSecondStage(), 0u);

    EXPECT_TRUE(Exists(uninstaller));
    // The copy took over the read-only attribute; the script must still be able to delete it,
    // and so end.
    EXPECT_TRUE(
        WaitUntil([&] { return !Exists(CopyPath()) && !Exists(CopyPath() + ".bat"); }, kTimeoutMs));
}

TEST_F(EndToEndTest, TheEntryStartsTheUninstallerNotAProgramNamedLikeItsFirstWord) {
    RunSetup(NextWithoutStarting);
    const std::string command =
        ReadText(HKEY_LOCAL_MACHINE, kEntry, "UninstallString").value_or("");
    const std::string uninstaller = installFolder + "\\uninstall.exe";
    EXPECT_EQ(command, "\"" + uninstaller + "\"");
    // Where the system looks first for an unquoted command with spaces: the text up to the
    // first space, as a program ("C:\Program.exe" for "C:\Program Files\...").
    const std::string decoy = uninstaller.substr(0, uninstaller.find(' ')) + ".exe";
    ASSERT_TRUE(CopyFileA(probeProgram.c_str(), decoy.c_str(), FALSE)) << decoy;

    // As the system's list of installed programs runs the entry: as a command line.
    Process started = Start("", command, installFolder);
    ASSERT_TRUE(started.Started());
    const HWND question =
        WaitForWindow({0, started.Id()}, kUninstallCaption,
                      "Are you sure you wish to uninstall R512 Control Software?", kTimeoutMs);
    if (question == nullptr) started.Kill();
    EXPECT_NE(question, nullptr) << "the entry did not start uninstall.exe";
    if (question != nullptr) ClickButton(question, IDNO);
    EXPECT_EQ(started.WaitForExit(kTimeoutMs), 0u);
    EXPECT_FALSE(Exists(decoy + ".ran"));
    DeleteFileA(decoy.c_str());
    DeleteFileA((decoy + ".ran").c_str());
}

// Drive R: is an empty folder of the throw-away prefix (run-in-throwaway-prefix.sh makes it).
TEST_F(EndToEndTest, AnInstallationAtTheTopOfADriveLeavesTheDriveAlone) {
    ASSERT_TRUE(Exists("R:\\")) << "no drive R:; run through run-in-throwaway-prefix.sh";
    const std::string unrelated = "R:\\Unrelated";
    RemoveTree("R:\\R512");
    RemoveTree(unrelated);
    installFolder = "R:\\R512";
    ASSERT_TRUE(CreateDirectoryA(installFolder.c_str(), nullptr));
    PlaceProgramFiles(installFolder);
    ASSERT_TRUE(CreateDirectoryA(unrelated.c_str(), nullptr));
    // The system reads a bare "R:" as the current folder on drive R, kept in this variable.
    SetEnvironmentVariableA("=R:", unrelated.c_str());

    // Started at the root, setup forms its paths with the root's one backslash.
    RunSetupIn("R:\\", NextWithoutStarting);
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kEntry, "UninstallString"), "\"R:\\uninstall.exe\"");
    const auto link = ReadShortcut(desktopShortcut);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->target, "R:\\R512.exe");

    RunSetup(NextWithoutStarting);
    ExpectInstalled();
    Process first = StartUninstall(IDYES);
    EXPECT_EQ(first.WaitForExit(kTimeoutMs), 0u);
    EXPECT_EQ(FinishSecondStage(), 0u);

    EXPECT_FALSE(Exists(installFolder));
    EXPECT_TRUE(Exists(unrelated));
    EXPECT_TRUE(Exists("R:\\"));
    EXPECT_TRUE(
        WaitUntil([&] { return !Exists(CopyPath()) && !Exists(CopyPath() + ".bat"); }, kTimeoutMs));
    SetEnvironmentVariableA("=R:", nullptr);
    RemoveTree(unrelated);
    RemoveTree(installFolder);
}

// Run through run-with-japanese-locale.sh (ctest's installer_end_to_end_cp932), which gives the
// prefix's processes the Japanese code page 932. There "software" is written <so><fu><to><u><e><a>;
// its bytes turned to capitals one by one would read <so><sa><e><u><e><a>, the folder beside it.
TEST_F(EndToEndTest, CodePage932InstallationBesideTheFolderItsCapitalsWouldName) {
    ASSERT_EQ(GetACP(), 932u) << "run through run-with-japanese-locale.sh";
    const std::string software = "\x83\x5c\x83\x74\x83\x67\x83\x45\x83\x46\x83\x41";
    const std::string lookalike = "\x83\x5c\x83\x54\x83\x47\x83\x45\x83\x46\x83\x41";
    const std::string programFiles = scratch.MakeFolder("Program Files");
    // Level by level: a byte-wise search for backslashes would cut inside <so>.
    for (const std::string& name : {software, lookalike}) {
        ASSERT_TRUE(CreateDirectoryA((programFiles + "\\" + name).c_str(), nullptr))
            << GetLastError();
        ASSERT_TRUE(CreateDirectoryA((programFiles + "\\" + name + "\\R512").c_str(), nullptr))
            << GetLastError();
    }
    installFolder = programFiles + "\\" + software + "\\R512";
    PlaceProgramFiles(installFolder);
    // The other folder's uninstaller is the probe: copied and started, it would leave a record.
    const std::string other = programFiles + "\\" + lookalike + "\\R512";
    for (const char* name : {"\\R512.exe", "\\Setup.exe", "\\uninstall.exe"}) {
        ASSERT_TRUE(CopyFileA(probeProgram.c_str(), (other + name).c_str(), FALSE));
    }

    RunSetup(NextWithoutStarting);
    ExpectInstalled();
    WriteSettings();
    Process first = StartUninstall(IDYES);
    EXPECT_EQ(first.WaitForExit(kTimeoutMs), 0u);
    EXPECT_EQ(FinishSecondStage(), 0u);

    EXPECT_FALSE(Exists(installFolder));
    EXPECT_FALSE(Exists(programFiles + "\\" + software));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\ZEL"));
    EXPECT_FALSE(Exists(startMenuShortcut));
    EXPECT_FALSE(Exists(desktopShortcut));
    EXPECT_EQ(CountFiles(other), 3);
    EXPECT_FALSE(Exists(CopyPath() + ".ran"));
    EXPECT_TRUE(
        WaitUntil([&] { return !Exists(CopyPath()) && !Exists(CopyPath() + ".bat"); }, kTimeoutMs));
}

// The release folder as a user unpacks it, with the real R512.exe: Setup starts the program
// from the installation folder, and the uninstaller leaves nothing of the three files.
TEST_F(EndToEndTest, ReleaseFolderStartsTheRealProgramAndUninstallsCompletely) {
    if (releaseFolder.empty()) GTEST_SKIP() << "no release folder given";
    for (const char* name : {"\\R512.exe", "\\Setup.exe", "\\uninstall.exe"})
        ASSERT_TRUE(
            CopyFileA((releaseFolder + name).c_str(), (installFolder + name).c_str(), FALSE))
            << releaseFolder + name;
    ASSERT_EQ(CountFiles(installFolder), 3);
    // Configured, on a port that doesn't exist: the program says so and stays up.
    HKEY config = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (kSettings + "\\Config").c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &config, nullptr),
              ERROR_SUCCESS);
    const DWORD configured = 1;
    RegSetValueExA(config, "Configured", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&configured),
                   sizeof(configured));
    RegSetValueExA(config, "Port", 0, REG_SZ, reinterpret_cast<const BYTE*>("NOPORT"), 7);
    RegCloseKey(config);

    RunSetup([](HWND dialog, const Process&) { PressKey(dialog, VK_RETURN); });  // and start it
    ExpectInstalled();
    const HWND noPort =
        WaitForWindow({}, "R512 Control Software", "Could not open serial port", kTimeoutMs);
    ASSERT_NE(noPort, nullptr) << "R512.exe did not start, or said nothing of its port";
    ClickButton(noPort, IDOK);
    HWND window = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (window = FindWindowA("R512RemoteWindow", nullptr)); }, kTimeoutMs));
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId);
    ASSERT_NE(process, nullptr);
    char image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    QueryFullProcessImageNameA(process, 0, image, &size);
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, image, -1,
                             (installFolder + "\\R512.exe").c_str(), -1),
              CSTR_EQUAL)
        << image;
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, kTimeoutMs), WAIT_OBJECT_0) << "R512.exe did not end";
    CloseHandle(process);

    Process first = StartUninstall(IDYES);
    EXPECT_EQ(first.WaitForExit(kTimeoutMs), 0u);
    EXPECT_EQ(FinishSecondStage(), 0u);
    for (const char* name : {"\\R512.exe", "\\Setup.exe", "\\uninstall.exe"})
        EXPECT_FALSE(Exists(installFolder + name)) << name;
    EXPECT_FALSE(Exists(installFolder));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\ZEL"));  // the settings R512 wrote too
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 4 && argc != 5) {
        fprintf(stderr, "usage: %s Setup.exe uninstall.exe hand-over-probe.exe [release-folder]\n",
                argv[0]);
        return 2;
    }
    if (argc == 5) releaseFolder = WindowsPath(argv[4]);
    setupProgram = WindowsPath(argv[1]);
    uninstallProgram = WindowsPath(argv[2]);
    probeProgram = WindowsPath(argv[3]);
    return RUN_ALL_TESTS();
}
