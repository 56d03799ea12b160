#include "win32/RemoteApp.h"

#include <new>

#include "base/Messages.h"
#include "base/SettingsLayout.h"

namespace r512 {

namespace {

// The program's messages as OK boxes captioned with its name: the first-run welcome as
// information, everything else as a warning.
void ShowMessageBox(int id, const std::string& text) {
    const UINT type = id == IDS_FIRST_RUN ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
    // Owned by the thread's active window (the remote window, or the dialog in front of it).
    MessageBoxA(GetActiveWindow(), text.c_str(), settings::kApplication, MB_OK | type);
}

}  // namespace

RemoteApp::RemoteApp(HINSTANCE instance) : instance_(instance) {}

RemoteApp::~RemoteApp() {
    window_.reset();
    SetMessageSink(nullptr);
}

bool RemoteApp::InitInstance() {
    SetMessageSink(ShowMessageBox);
    profile_.reset(new (std::nothrow) RegistryProfile(RegistryProfile::ProgramKey()));
    if (!profile_) return false;
    window_.reset(new (std::nothrow) RemoteWindow(*profile_, instance_));
    if (!window_) return false;
    return window_->Create();
}

int RemoteApp::Run() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (window_ && window_->IsPopupMessage(&message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace r512
