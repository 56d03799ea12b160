#pragma once
// What both stages work with. The program passes the real message boxes, shell folders and
// registry roots; tests pass doubles, scratch folders and a registry sandbox.
#include "MessageBoxes.h"
#include "RegistryRoots.h"
#include "ShellFolders.h"

namespace r512::uninstall {

struct UninstallContext {
    installer::MessageBoxes* boxes = nullptr;
    installer::ShellFolders* folders = nullptr;
    installer::RegistryRoots roots;
};

}  // namespace r512::uninstall
