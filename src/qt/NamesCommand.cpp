#include "qt/NamesCommand.h"

#include <QGuiApplication>
#include <QWidget>
#include <optional>
#include <string>

#include "base/Messages.h"
#include "qt/InputBlock.h"
#include "qt/NamesDialog.h"
#include "ui/NamesCommand.h"

namespace r512 {

namespace {

// The bytes the device would store for a text: one per character. A character beyond the
// single-byte range becomes a byte the device can't store, so that the check refuses the text
// instead of storing some other character in its place.
std::string DeviceBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        bytes.push_back(static_cast<char>(u <= 0xFF ? u : 0xFF));
    }
    return bytes;
}

// The application shows the wait cursor for the whole command, the arrow while the user deals
// with the dialog or a message.
class QtNamesFrontEnd final : public NamesCommandFrontEnd {
public:
    QtNamesFrontEnd(QWidget* remoteWindow, QWidget* controlPanel,
                    const std::function<void(bool busy)>& setWaitCursor)
        : remoteWindow_(remoteWindow), controlPanel_(controlPanel), setWaitCursor_(setWaitCursor) {}

    void BlockInput(bool blocked) override {
        if (blocked) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            // Both windows are blocked, not disabled: a disabled remote window would grey the
            // Control Panel, its child, with it.
            windowBlocked_.emplace(remoteWindow_);
            panelBlocked_.emplace(controlPanel_);
        } else {
            QGuiApplication::restoreOverrideCursor();
            panelBlocked_.reset();
            windowBlocked_.reset();
        }
    }

    void ShowBusy(bool busy) override {
        if (setWaitCursor_) setWaitCursor_(busy);
    }

    bool EditNames(names_fields::Texts& texts) override {
        for (std::size_t i = 0; i < texts.size(); ++i)
            dialog_.texts[i] =
                QString::fromLatin1(texts[i].data(), static_cast<qsizetype>(texts[i].size()));
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        const bool accepted = dialog_.DoModal() == QDialog::Accepted;
        QGuiApplication::restoreOverrideCursor();
        if (!accepted) return false;
        for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = DeviceBytes(dialog_.texts[i]);
        return true;
    }

    void ShowMessage(int messageId) override {
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        r512::ShowMessage(messageId);
        QGuiApplication::restoreOverrideCursor();
    }

private:
    NamesDialog dialog_{nullptr};  // made first; destroyed when the command ends
    QWidget* remoteWindow_;
    QWidget* controlPanel_;
    const std::function<void(bool busy)>& setWaitCursor_;
    std::optional<InputBlock> windowBlocked_;
    std::optional<InputBlock> panelBlocked_;
};

}  // namespace

void RunNamesCommand(DeviceLink& link, QWidget* remoteWindow, QWidget* controlPanel,
                     const std::function<void(bool busy)>& setWaitCursor, MessagePump& pump) {
    QtNamesFrontEnd frontEnd(remoteWindow, controlPanel, setWaitCursor);
    RunNamesCommand(link, pump, frontEnd);
}

}  // namespace r512
