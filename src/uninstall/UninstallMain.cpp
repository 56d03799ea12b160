// uninstall: removes an installation in two stages. Run as "uninstall.exe" from the installation
// folder it removes the shortcuts and the uninstall entry and hands over to a copy of itself in
// the temporary folder; the copy removes the files, folders and settings, and a batch script
// finally deletes the copy.
#include <windows.h>

#include "CommandLineTail.h"
#include "FirstStage.h"
#include "InstallLayout.h"
#include "SecondStage.h"
#include "StageChoice.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace r512;
    installer::SystemMessageBoxes boxes;
    installer::SystemShellFolders folders;
    uninstall::UninstallContext context;
    context.boxes = &boxes;
    context.folders = &folders;

    char moduleName[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, moduleName, MAX_PATH);
    if (length >= MAX_PATH) {
        moduleName[0] = '\0';  // cut off: no trustworthy path
    }
    switch (uninstall::ChooseStage(moduleName)) {
        case uninstall::Stage::NoPath:
            boxes.Show(nullptr, uninstall::kNoPathText, installer::kProductName, MB_ICONERROR);
            return 0;
        case uninstall::Stage::First:
            return uninstall::RunFirstStage(moduleName, context);
        case uninstall::Stage::Second:
            return uninstall::RunSecondStage(uninstall::CommandLineTail(GetCommandLineA()),
                                             moduleName, context);
    }
    return 0;
}
