#include "SecondStage.h"

#include <windows.h>

#include "CleanupScript.h"
#include "CodePageText.h"
#include "FolderRemoval.h"
#include "InstallLayout.h"
#include "PathText.h"
#include "ProgramFileRemoval.h"
#include "SettingsRemoval.h"

namespace r512::uninstall {

int RunSecondStage(const char* commandTail, const char* moduleName,
                   const UninstallContext& context) {
    if (commandTail[0] == '\0') {
        return 1;
    }
    // The first stage is still ending; let it go before touching its file.
    Sleep(0);

    // The folder comes with its trailing backslash; one typed by hand may lack it.
    char installFolder[MAX_PATH];
    if (!installer::CopyText(installFolder, commandTail)) {
        return 1;
    }
    if (!installer::EndsWithBackslash(installFolder) &&
        !installer::AppendText(installFolder, "\\")) {
        return 1;
    }

    DeleteProgramFiles(installFolder, *context.boxes);
    RemoveInstallationFolders(installFolder, *context.folders);
    RemoveSettings(context.roots.user);

    char scriptPath[MAX_PATH];
    const bool scriptWritten =
        installer::CopyText(scriptPath, moduleName) && installer::AppendText(scriptPath, ".bat") &&
        WriteCleanupScript(scriptPath, CleanupScriptText(moduleName, scriptPath));

    context.boxes->Show(nullptr, "Uninstall Complete", installer::kProductName, MB_ICONINFORMATION);
    if (scriptWritten) {
        StartHidden(scriptPath);
    }
    return 0;
}

}  // namespace r512::uninstall
