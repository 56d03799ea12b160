#pragma once

#include <memory>

#include "qt/QtProfile.h"
#include "qt/RemoteWindow.h"

namespace r512 {

// The application object: where the settings live, the message boxes, and the one remote
// window, whose life is the program's.
class RemoteApp {
public:
    RemoteApp();
    ~RemoteApp();

    // Sets up the settings and the message boxes and creates the remote window; false ends the
    // program at once.
    bool InitInstance();

    RemoteWindow* MainWindow() { return window_.get(); }

private:
    std::unique_ptr<QtProfile> profile_;
    std::unique_ptr<RemoteWindow> window_;
};

}  // namespace r512
