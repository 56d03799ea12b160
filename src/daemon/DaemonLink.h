#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "daemon/ClientRequestParser.h"
#include "device/DeviceLink.h"

namespace r512::daemon {

// The core's device link with the names transfer cut into steps that the daemon's event loop
// drives, instead of the desktop program's nested loop and sleeps: the download is started
// here and ends with the read notice that ProcessReceived takes; the upload is a list of writes
// that the daemon queues one at a time, with the device's pauses between them.
class DaemonLink : public DeviceLink {
public:
    DaemonLink() = default;

    // Purges the receive side, sends 0xDC and reads the 1024-byte reply into the image; the
    // read's completion clears NamesPending. False, with nothing sent, when no port is open.
    bool StartDownload();
    // A download whose read outlived every time-out: the port no longer completes anything.
    void DownloadStuck();

    // One write of the upload: bytes in the link's image or in static storage.
    using UploadWrite = std::pair<const std::uint8_t*, std::uint32_t>;
    // Puts the upload's sections into the image and lists its writes in the device's order:
    // the header as one write, then every other byte alone, the end byte last. The image is
    // the link's until the last write has gone out.
    std::vector<UploadWrite> PrepareUpload(const NamesUpload& upload);
    bool QueueUploadWrite(const UploadWrite& write);
};

}  // namespace r512::daemon
