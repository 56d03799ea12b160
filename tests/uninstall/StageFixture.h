#pragma once
// An installation to uninstall, sandboxed: program files in a folder whose path holds spaces,
// shortcuts in scratch shell folders, the uninstall entry and settings in a registry sandbox, a
// temporary folder with a space in its path, and scripted message boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "UninstallContext.h"
#include "support/RegistrySandbox.h"
#include "support/ScratchFolder.h"
#include "support/ScratchShellFolders.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TemporaryFolderOverride.h"

namespace r512::testkit {

inline const std::string kUninstallEntry =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\R512 Control";
inline const std::string kSettings = "Software\\ZEL\\R512 Control Software";

class StageFixture : public ::testing::Test {
protected:
    StageFixture()
        : folders(scratch),
          installFolder(scratch.MakeFolder("Program Files\\ZEL\\R512") + "\\"),
          tempFolder(scratch.MakeFolder("Jo Smith\\Local Temp")) {
        context.boxes = &boxes;
        context.folders = &folders;
        context.roots = registry.Roots();
    }

    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, savedDirectory_);
        temp_ = std::make_unique<TemporaryFolderOverride>(tempFolder);
    }
    void TearDown() override {
        temp_.reset();
        SetCurrentDirectoryA(savedDirectory_);
    }

    // What setup and the program leave: files, shortcuts, the entry and settings.
    void Install(const std::string& uninstallerSource = "") {
        scratch.MakeFile("Program Files\\ZEL\\R512\\R512.exe");
        scratch.MakeFile("Program Files\\ZEL\\R512\\Setup.exe");
        if (uninstallerSource.empty()) {
            scratch.MakeFile("Program Files\\ZEL\\R512\\uninstall.exe");
        } else {
            CopyFileA(uninstallerSource.c_str(), (installFolder + "uninstall.exe").c_str(), FALSE);
        }
        scratch.MakeFolder("Start Menu\\Programs\\ZEL");
        scratch.MakeFile("Start Menu\\Programs\\ZEL\\R512 Control Software.lnk");
        scratch.MakeFile("Desktop\\R512 Control Software.lnk");
        WriteText(registry.Machine(), kUninstallEntry, "DisplayName", "R512 Control Software");
        WriteText(registry.User(), kSettings + "\\Config", "Port", "COM2");
        WriteText(registry.User(), kSettings + "\\Position", "main.y", "40");
    }

    bool ProgramFilesPresent() const {
        return Exists(installFolder + "R512.exe") && Exists(installFolder + "Setup.exe") &&
               Exists(installFolder + "uninstall.exe");
    }
    bool ShortcutsPresent() const {
        return Exists(folders.StartMenuShortcut()) && Exists(folders.DesktopShortcut());
    }

    // The hand-over probe, built beside the test program.
    static std::string ProbePath() {
        char self[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string path = self;
        return path.substr(0, path.rfind('\\') + 1) + "hand-over-probe.exe";
    }

    ScratchFolder scratch{"uninstall"};
    RegistrySandbox registry;
    ScratchShellFolders folders;
    ScriptedMessageBoxes boxes;
    uninstall::UninstallContext context;
    std::string installFolder;  // with its trailing backslash
    std::string tempFolder;

private:
    std::unique_ptr<TemporaryFolderOverride> temp_;
    char savedDirectory_[MAX_PATH] = "";
};

}  // namespace r512::testkit
