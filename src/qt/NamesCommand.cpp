#include "qt/NamesCommand.h"

#include <QGuiApplication>
#include <QWidget>
#include <string>

#include "base/MessagePump.h"
#include "base/Messages.h"
#include "device/DeviceLink.h"
#include "device/NamesFields.h"
#include "qt/InputBlock.h"
#include "qt/NamesDialog.h"
#include "ui/NamesUpload.h"

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

// While the user deals with a dialog or a message, the pointer is the arrow, not the wait
// cursor that the command keeps up otherwise.
class ArrowWhileUserActs {
public:
    ArrowWhileUserActs() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowWhileUserActs() { QGuiApplication::restoreOverrideCursor(); }
    ArrowWhileUserActs(const ArrowWhileUserActs&) = delete;
    ArrowWhileUserActs& operator=(const ArrowWhileUserActs&) = delete;
};

void Tell(int messageId) {
    ArrowWhileUserActs arrow;
    ShowMessage(messageId);
}

// Runs the dialog over the downloaded texts; on OK puts the edited texts into the image and
// sends them if the device can store every byte.
void EditAndUpload(DeviceLink& link, NamesDialog& dialog) {
    const names_fields::Texts downloaded = names_fields::FromImage(link.NamesImage());
    for (int i = 0; i < names_fields::kCount; ++i)
        dialog.texts[static_cast<std::size_t>(i)] = QString::fromLatin1(
            downloaded[static_cast<std::size_t>(i)].data(),
            static_cast<qsizetype>(downloaded[static_cast<std::size_t>(i)].size()));

    int result;
    {
        ArrowWhileUserActs arrow;
        result = dialog.DoModal();
    }
    if (result != QDialog::Accepted) return;  // nothing copied back, nothing sent

    names_fields::Texts edited;
    for (int i = 0; i < names_fields::kCount; ++i)
        edited[static_cast<std::size_t>(i)] =
            DeviceBytes(dialog.texts[static_cast<std::size_t>(i)]);
    names_fields::ToImage(edited, link.NamesImage());

    if (const int message = UploadNames(link)) Tell(message);
}

}  // namespace

void RunNamesCommand(DeviceLink& link, QWidget* remoteWindow, QWidget* controlPanel,
                     const std::function<void(bool busy)>& setWaitCursor, MessagePump& pump) {
    NamesDialog dialog(nullptr);  // made first; destroyed when the command ends

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // Both windows are blocked, not disabled: a disabled remote window would grey the Control
    // Panel, its child, with it.
    const InputBlock windowBlocked(remoteWindow);
    const InputBlock panelBlocked(controlPanel);
    if (setWaitCursor) setWaitCursor(true);

    const bool downloaded = link.ReadNames(pump);

    if (setWaitCursor) setWaitCursor(false);

    if (!downloaded) {
        Tell(IDS_NAMES_READ_FAILED);
    } else {
        EditAndUpload(link, dialog);
    }

    QGuiApplication::restoreOverrideCursor();
}

}  // namespace r512
