#pragma once

#include <cstdint>

namespace r512::daemon {

// Whether a names download may be trusted as the device's memory: it came whole (all 1024
// bytes) and aligned (no byte followed it within the line's quiet time, which would mean the
// reply was shifted by bytes before it), and the image holds only bytes the device can store.
// The daemon's own rule until the core has one function for it; the daemon asks here only.
struct NamesDownloadResult {
    std::uint32_t received = 0;  // bytes of the 1024-byte read
    std::uint32_t trailing = 0;  // bytes that arrived within the quiet time after it
    bool imageValid = false;     // the names and messages hold only storable bytes
};

bool NamesDownloadAccepted(const NamesDownloadResult& result);

}  // namespace r512::daemon
