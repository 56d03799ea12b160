#include "daemon/DaemonLink.h"

#include <algorithm>

namespace r512::daemon {

namespace {
constexpr std::uint8_t kDownloadRequest = names_bytes::kDownloadRequest;
constexpr std::uint8_t kUploadHeader[8] = {names_bytes::kUploadStart, names_bytes::kWriteKey[0],
                                           names_bytes::kWriteKey[1], names_bytes::kWriteKey[2],
                                           names_bytes::kWriteKey[3], names_bytes::kWriteKey[4],
                                           names_bytes::kWriteKey[5], names_bytes::kWriteKey[6]};
constexpr std::uint8_t kSourceNames = names_bytes::kSourceNames;
constexpr std::uint8_t kWelcomeMessage = names_bytes::kWelcomeMessage;
constexpr std::uint8_t kStandbyMessage = names_bytes::kStandbyMessage;
constexpr std::uint8_t kUploadEnd = names_bytes::kUploadEnd;
}  // namespace

bool DaemonLink::StartDownload() {
    if (!IsOpen()) return false;
    namesPending_ = true;
    if (!PurgeReceive() || !QueueWrite(&kDownloadRequest, 1, 0) ||
        !QueueRead(namesImage_.data(), names_layout::kImageSize, WM_DEVICE_DATA)) {
        namesPending_ = false;
        return false;
    }
    return true;
}

void DaemonLink::DownloadStuck() {
    if (namesPending_) ReportPortFailure();
}

std::vector<DaemonLink::UploadWrite> DaemonLink::PrepareUpload(const NamesUpload& upload) {
    std::vector<UploadWrite> writes;
    writes.emplace_back(kUploadHeader, 8);
    auto section = [&](const std::uint8_t* marker, int offset, const std::uint8_t* bytes,
                       int length) {
        std::copy(bytes, bytes + length, namesImage_.begin() + offset);
        writes.emplace_back(marker, 1);
        for (int i = 0; i < length; ++i) writes.emplace_back(namesImage_.data() + offset + i, 1);
    };
    if (upload.hasSourceTable)
        section(&kSourceNames, names_layout::kSourceTableOffset, upload.sourceTable.data(),
                names_layout::kSourceTableLength);
    if (upload.hasWelcome)
        section(&kWelcomeMessage, names_layout::kWelcomeOffset, upload.welcome.data(),
                names_layout::kMessageLength);
    if (upload.hasStandby)
        section(&kStandbyMessage, names_layout::kStandbyOffset, upload.standby.data(),
                names_layout::kMessageLength);
    writes.emplace_back(&kUploadEnd, 1);
    return writes;
}

bool DaemonLink::QueueUploadWrite(const UploadWrite& write) {
    return QueueWrite(write.first, write.second, 0);
}

}  // namespace r512::daemon
