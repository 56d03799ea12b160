#pragma once
// Programs and desktop folders inside a scratch folder, for the code that makes and removes
// shortcuts.
#include <string>

#include "ShellFolders.h"
#include "support/ScratchFolder.h"

namespace r512::testkit {

class ScratchShellFolders final : public installer::ShellFolders {
public:
    explicit ScratchShellFolders(const ScratchFolder& scratch)
        : programs_(scratch.MakeFolder("Start Menu\\Programs")),
          desktop_(scratch.MakeFolder("Desktop")) {}

    bool PathOf(int csidl, char (&path)[MAX_PATH]) override;

    const std::string& Programs() const { return programs_; }
    const std::string& Desktop() const { return desktop_; }
    std::string StartMenuShortcut() const { return programs_ + "\\ZEL\\R512 Control Software.lnk"; }
    std::string DesktopShortcut() const { return desktop_ + "\\R512 Control Software.lnk"; }

private:
    std::string programs_;
    std::string desktop_;
};

}  // namespace r512::testkit
