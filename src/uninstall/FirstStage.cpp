#include "FirstStage.h"

#include "InstallLayout.h"
#include "SecondStageLaunch.h"
#include "ShortcutRemoval.h"
#include "UninstallEntryRemoval.h"

namespace r512::uninstall {

int RunFirstStage(const char* moduleName, const UninstallContext& context) {
    if (context.boxes->Show(nullptr, kConfirmationText, installer::kProductName,
                            MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return 0;
    }
    RemoveShortcuts(*context.folders);
    if (!RemoveUninstallEntry(context.roots.machine) &&
        context.boxes->Show(nullptr, kEntryRemovalFailedText, installer::kProductName,
                            MB_YESNO | MB_ICONQUESTION) == IDNO) {
        return 1;
    }
    // Without the copy nothing removes the files, while the shortcuts and the entry are gone
    // already: the user must learn that the uninstall stopped half way.
    char copyPath[MAX_PATH];
    if (!FormCopyPath(copyPath) || !LaunchSecondStage(moduleName, copyPath)) {
        context.boxes->Show(nullptr, kCopyNotStartedText, installer::kProductName, MB_ICONERROR);
        return 1;
    }
    return 0;
}

}  // namespace r512::uninstall
