// A stand-in program for the tests. Copied under the name of the main program or of the
// uninstaller, it records how it was started: each run appends its full command line, the
// command-line tail its entry point received, and its current directory, one per line, to a
// file named after itself with ".ran" added.
#include <windows.h>

#include <fstream>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR tail, int) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    // Written in one go, so that a reader never sees half a record.
    const std::string record = std::string(GetCommandLineA()) + "\n" + tail + "\n" + folder + "\n";
    std::ofstream(std::string(self) + ".ran", std::ios::app | std::ios::binary) << record;
    return 0;
}
