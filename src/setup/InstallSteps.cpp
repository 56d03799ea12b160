#include "InstallSteps.h"

#include "InstallLayout.h"
#include "PathText.h"
#include "ShortcutFile.h"
#include "UninstallRegistration.h"

namespace r512::setup {
namespace {

using installer::AppendText;

void CreateStartMenuShortcut(const SetupContext& context) {
    char path[MAX_PATH];
    if (!context.folders->PathOf(CSIDL_PROGRAMS, path) ||
        !AppendText(path, installer::kMakerFolderTail)) {
        return;
    }
    // An existing folder is no error: the shortcut is simply rewritten inside it.
    CreateDirectoryA(path, nullptr);
    if (AppendText(path, installer::kShortcutTail)) {
        CreateShortcut(context.paths.programPath, path, installer::kProductName);
    }
}

void CreateDesktopShortcut(const SetupContext& context) {
    char path[MAX_PATH];
    if (context.folders->PathOf(CSIDL_DESKTOPDIRECTORY, path) &&
        AppendText(path, installer::kShortcutTail)) {
        CreateShortcut(context.paths.programPath, path, installer::kProductName);
    }
}

void StartProgram(const SetupContext& context) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // Setup does not wait for the program; it only lets go of the handles.
    if (CreateProcessA(context.paths.programPath, nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

}  // namespace

void PerformInstallation(HWND dialog, const InstallChoices& choices, const SetupContext& context) {
    // An empty folder is one whose path did not fit in MAX_PATH when setup started.
    const Registration registration =
        context.paths.installFolder[0] == '\0'
            ? Registration::PathTooLong
            : RegisterUninstaller(context.roots.machine, context.paths.installFolder);
    if (registration != Registration::Registered) {
        context.boxes->Show(
            dialog,
            registration == Registration::PathTooLong ? kPathTooLongText : kRegistrationFailedText,
            kSetupCaption, MB_ICONINFORMATION);
    }
    // Without the program's path there is nothing to link to or start.
    const bool havePath = context.paths.programPath[0] != '\0';
    if (havePath && choices.startMenuShortcut) {
        CreateStartMenuShortcut(context);
    }
    if (havePath && choices.desktopShortcut) {
        CreateDesktopShortcut(context);
    }
    context.boxes->Show(nullptr, "Installation Complete", kSetupCaption, MB_ICONINFORMATION);
    if (havePath && choices.runProgram) {
        StartProgram(context);
    }
}

}  // namespace r512::setup
