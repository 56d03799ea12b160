#include "daemon/NamesDownloadCheck.h"

#include "device/Protocol.h"

namespace r512::daemon {

bool NamesDownloadAccepted(const NamesDownloadResult& result) {
    return result.received == static_cast<std::uint32_t>(names_layout::kImageSize) &&
           result.trailing == 0 && result.imageValid;
}

}  // namespace r512::daemon
