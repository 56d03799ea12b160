#pragma once

#include "device/NamesFields.h"

namespace r512 {

class DeviceLink;
class MessagePump;

// What a front end does for the Names command; the command decides when.
class NamesCommandFrontEnd {
public:
    virtual ~NamesCommandFrontEnd() = default;
    // True for the whole command: the remote window and the Control Panel take no input, and
    // the program shows that it is busy.
    virtual void BlockInput(bool blocked) = 0;
    // True while the names are downloaded: the remote window's own cursor is the wait cursor.
    virtual void ShowBusy(bool busy) = 0;
    // The Names dialog, modal, on the texts: true with the texts as the user left them for OK.
    virtual bool EditNames(names_fields::Texts& texts) = 0;
    virtual void ShowMessage(int messageId) = 0;
};

// The Names command: downloads the device's names memory, lets the user edit the source names
// and the messages (shown without trailing white space) and on OK uploads them (UploadNames).
// The link sends 0x01 after each transfer. Message 1041, and no dialog, when the names can't be
// read. `pump` runs the thread's events while the download is under way.
void RunNamesCommand(DeviceLink& link, MessagePump& pump, NamesCommandFrontEnd& frontEnd);

// Uploads the names image that the Names dialog has filled: nothing goes out unless the device
// can store every byte. Returns the message to show, or 0 when the names were written: 1042 for
// names the device can't store, 1043 when the port failed (or was closed) before the upload's
// end, which the window then shows as the no-connection screen like any failure of the port.
int UploadNames(DeviceLink& link);

}  // namespace r512
