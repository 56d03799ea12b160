// setup: finishes an installation whose files are already in the current directory. It copies
// nothing; it registers the uninstaller, makes the shortcuts the user chooses and may start the
// program. The command line is ignored and the exit code is always 0.
#include <windows.h>

#include "InstallSteps.h"
#include "SetupDialog.h"
#include "SetupResource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace r512;
    CoInitialize(nullptr);  // the shortcuts are made through the shell's COM link object

    installer::SystemMessageBoxes boxes;
    installer::SystemShellFolders folders;
    setup::SetupContext context;
    context.boxes = &boxes;
    context.folders = &folders;
    setup::FormSetupPaths(context.paths);

    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, setup::SetupDialogProc,
                    reinterpret_cast<LPARAM>(&context));

    CoUninitialize();
    return 0;
}
