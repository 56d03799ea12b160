#include "win32/RemoteApp.h"

#include <new>

#include "base/Messages.h"
#include "base/SettingsLayout.h"

namespace r512 {

namespace {

// The remote window: the owner of a message when no visible window is active.
const RemoteWindow* g_remoteWindow = nullptr;

// A message's owner: the active window (the remote window, or the dialog in front of it) when
// the user can see it, else the remote window. A hidden owner would leave the box modal to
// nothing the user sees.
HWND MessageOwner() {
    HWND active = GetActiveWindow();
    if (active && IsWindowVisible(active)) return active;
    HWND window = g_remoteWindow ? g_remoteWindow->Handle() : nullptr;
    return window && IsWindowVisible(window) ? window : nullptr;
}

// The program's messages as plain OK boxes captioned with its name.
void ShowMessageBox(int, const std::string& text) {
    MessageBoxA(MessageOwner(), text.c_str(), settings::kApplication, MB_OK);
}

}  // namespace

RemoteApp::RemoteApp(HINSTANCE instance) : instance_(instance) {}

RemoteApp::~RemoteApp() {
    g_remoteWindow = nullptr;
    window_.reset();
    SetMessageSink(nullptr);
}

bool RemoteApp::InitInstance() {
    SetMessageSink(ShowMessageBox);
    profile_.reset(new (std::nothrow) RegistryProfile(RegistryProfile::ProgramKey()));
    if (!profile_) return false;
    window_.reset(new (std::nothrow) RemoteWindow(*profile_, instance_));
    if (!window_) return false;
    g_remoteWindow = window_.get();  // its handle exists as soon as it is being made
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
