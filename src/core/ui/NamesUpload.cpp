#include "ui/NamesUpload.h"

#include "base/Messages.h"
#include "device/DeviceLink.h"

namespace r512 {

int UploadNames(DeviceLink& link) {
    if (!link.ValidateNames()) return IDS_NAMES_WRITE_FAILED;
    // A write that can't be queued means the port is gone: the characters are not to blame.
    if (!link.WriteNames()) return IDS_NAMES_CONNECTION_LOST;
    return 0;
}

}  // namespace r512
