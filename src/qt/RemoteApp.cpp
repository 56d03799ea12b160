#include "qt/RemoteApp.h"

#include <QApplication>
#include <QMessageBox>

#include "base/Messages.h"
#include "base/SettingsLayout.h"

namespace r512 {

namespace {

// The remote window: the owner of a message when no visible window is active.
QWidget* g_remoteWindow = nullptr;

// The program's messages as plain OK boxes captioned with its name, modal to the window in
// front that the user can see (the remote window, or the dialog in front of it).
void ShowMessageBox(int, const std::string& text) {
    QWidget* owner = QApplication::activeWindow();
    if (!owner || !owner->isVisible())
        owner = g_remoteWindow && g_remoteWindow->isVisible() ? g_remoteWindow : nullptr;
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(settings::kApplication),
                    QString::fromLocal8Bit(text), QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace

RemoteApp::RemoteApp() = default;
RemoteApp::~RemoteApp() {
    SetMessageSink(nullptr);
    g_remoteWindow = nullptr;
}

bool RemoteApp::InitInstance() {
    SetMessageSink(ShowMessageBox);
    profile_ = std::make_unique<QtProfile>();
    window_ = std::make_unique<RemoteWindow>(*profile_);
    g_remoteWindow = window_.get();
    return window_->Create();
}

}  // namespace r512
