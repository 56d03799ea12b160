#pragma once
// A complete, sandboxed setup context: an installation folder holding a stand-in main program,
// scratch Programs and desktop folders, a registry sandbox and scripted message boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "InstallSteps.h"
#include "PathText.h"
#include "support/RegistrySandbox.h"
#include "support/ScratchFolder.h"
#include "support/ScratchShellFolders.h"
#include "support/ScriptedMessageBoxes.h"

namespace r512::testkit {

inline const std::string kUninstallEntry =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\R512 Control";

class SetupFixture : public ::testing::Test {
protected:
    SetupFixture() : folders(scratch) {
        installFolder = scratch.MakeFolder("Program Files\\ZEL\\R512");
        programPath = installFolder + "\\R512.exe";
        // The stand-in main program records each start in R512.exe.ran.
        CopyFileA(ProbePath().c_str(), programPath.c_str(), FALSE);
        installer::CopyText(context.paths.installFolder, installFolder.c_str());
        installer::CopyText(context.paths.programPath, programPath.c_str());
        context.roots = registry.Roots();
        context.boxes = &boxes;
        context.folders = &folders;
    }

    void SetUp() override {
        ASSERT_TRUE(Exists(programPath)) << "the stand-in program is missing: " << ProbePath();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    }
    void TearDown() override { CoUninitialize(); }

    // The hand-over probe, built beside the test program.
    static std::string ProbePath() {
        char self[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string path = self;
        return path.substr(0, path.rfind('\\') + 1) + "hand-over-probe.exe";
    }

    // How many times the stand-in program has been started.
    int ProgramStarts() const {
        const std::string record = ReadWholeFile(programPath + ".ran");
        int lines = 0;
        for (char c : record) lines += c == '\n';
        return lines / 3;
    }

    ScratchFolder scratch{"setup"};
    RegistrySandbox registry;
    ScratchShellFolders folders;
    ScriptedMessageBoxes boxes;
    setup::SetupContext context;
    std::string installFolder;
    std::string programPath;
};

}  // namespace r512::testkit
