#pragma once

namespace r512 {

class DeviceLink;

// Uploads the names image that the Names dialog has filled: nothing goes out unless the device
// can store every byte. Returns the message to show, or 0 when the names were written: 1042 for
// names the device can't store, 1043 when the port failed (or was closed) before the upload's
// end, which the window then shows as the no-connection screen like any failure of the port.
int UploadNames(DeviceLink& link);

}  // namespace r512
