#pragma once

#include <windows.h>

#include <memory>

#include "win32/RegistryProfile.h"
#include "win32/RemoteWindow.h"

namespace r512 {

// The application: the settings in the per-user registry key of the program, the messages of
// the string table shown as message boxes, the one remote window, and the message loop that
// runs until that window is destroyed.
class RemoteApp {
public:
    explicit RemoteApp(HINSTANCE instance);
    ~RemoteApp();
    RemoteApp(const RemoteApp&) = delete;
    RemoteApp& operator=(const RemoteApp&) = delete;

    // Creates the window (which runs the first-run configuration and connects); false ends the
    // program at once.
    bool InitInstance();
    // The message loop; returns the program's exit code.
    int Run();

private:
    HINSTANCE instance_;
    std::unique_ptr<RegistryProfile> profile_;
    std::unique_ptr<RemoteWindow> window_;
};

}  // namespace r512
