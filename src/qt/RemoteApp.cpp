#include "qt/RemoteApp.h"

#include <QMessageBox>

#include "base/Messages.h"
#include "base/SettingsLayout.h"

namespace r512 {

namespace {

// The program's messages as OK boxes captioned with its name: the first-run welcome as
// information, everything else as a warning.
void ShowMessageBox(int id, const std::string& text) {
    QMessageBox box(id == IDS_FIRST_RUN ? QMessageBox::Information : QMessageBox::Warning,
                    QString::fromLatin1(settings::kApplication), QString::fromLocal8Bit(text),
                    QMessageBox::Ok);
    box.exec();
}

}  // namespace

RemoteApp::RemoteApp() = default;
RemoteApp::~RemoteApp() { SetMessageSink(nullptr); }

bool RemoteApp::InitInstance() {
    SetMessageSink(ShowMessageBox);
    profile_ = std::make_unique<QtProfile>();
    window_ = std::make_unique<RemoteWindow>(*profile_);
    return window_->Create();
}

}  // namespace r512
