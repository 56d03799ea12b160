#include "ui/NamesCommand.h"

#include "base/Messages.h"
#include "device/DeviceLink.h"

namespace r512 {

void RunNamesCommand(DeviceLink& link, MessagePump& pump, NamesCommandFrontEnd& frontEnd) {
    frontEnd.BlockInput(true);
    frontEnd.ShowBusy(true);
    const bool downloaded = link.ReadNames(pump);
    frontEnd.ShowBusy(false);

    if (!downloaded) {
        frontEnd.ShowMessage(IDS_NAMES_READ_FAILED);
    } else {
        names_fields::Texts texts = names_fields::FromImage(link.NamesImage());
        // White space at the end goes; leading blanks stay.
        for (std::string& text : texts) text.erase(text.find_last_not_of(" \t\n\v\f\r") + 1);
        // On Cancel nothing reaches the image and nothing is sent.
        if (frontEnd.EditNames(texts)) {
            names_fields::ToImage(texts, link.NamesImage());
            if (const int message = UploadNames(link)) frontEnd.ShowMessage(message);
        }
    }
    frontEnd.BlockInput(false);
}

int UploadNames(DeviceLink& link) {
    if (!link.ValidateNames()) return IDS_NAMES_WRITE_FAILED;
    // A write that can't be queued means the port is gone: the characters are not to blame.
    if (!link.WriteNames()) return IDS_NAMES_CONNECTION_LOST;
    return 0;
}

}  // namespace r512
