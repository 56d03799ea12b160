// The names memory transfer of the device link: the download into the image, its check, and
// the paced upload of the source-name table and the two messages.
#include <algorithm>
#include <thread>

#include "base/MessagePump.h"
#include "device/DeviceLink.h"
#include "device/NamesFields.h"
#include "device/NamesSections.h"
#include "device/ProtocolTrace.h"

namespace r512 {

namespace {

// The bytes of the exchange live in static storage: the write queue keeps a pointer to them.
constexpr std::uint8_t kDownloadRequest = names_bytes::kDownloadRequest;
constexpr std::array<std::uint8_t, 8> kUploadHeader = {
    names_bytes::kUploadStart, names_bytes::kWriteKey[0], names_bytes::kWriteKey[1],
    names_bytes::kWriteKey[2], names_bytes::kWriteKey[3], names_bytes::kWriteKey[4],
    names_bytes::kWriteKey[5], names_bytes::kWriteKey[6]};
constexpr std::uint8_t kUploadEnd = names_bytes::kUploadEnd;

// The device stores each byte of an upload as it comes and needs 10 ms for it; after the end
// byte it needs 100 ms before it takes a command again.
constexpr std::chrono::milliseconds kBytePause{10};
constexpr std::chrono::milliseconds kEndPause{100};

}  // namespace

void DeviceLink::SetPause(Pause pause) { pause_ = std::move(pause); }

bool DeviceLink::ReadNames(MessagePump& pump) {
    if (!IsOpen()) return false;  // no port (or a failed one): nothing is sent
    for (int attempt = 1;; ++attempt) {
        const std::optional<names_download::Verdict> verdict = DownloadNamesOnce(pump);
        if (!verdict) return false;
        if (*verdict == names_download::Verdict::Accepted) return true;
        if (!names_download::ShouldTryAgain(*verdict) || attempt == kNamesDownloadAttempts)
            return false;
    }
}

bool DeviceLink::BeginNamesDownload() {
    namesPending_ = true;
    downloadReceived_ = 0;
    // Abort the ordinary read (its completion comes later and is dropped while the flag is
    // set) and throw away unread input, so that the download read starts with the reply.
    if (!PurgeReceive()) {
        namesPending_ = false;
        return false;
    }
    if (!QueueWrite(&kDownloadRequest, 1, 0)) {
        // Nothing went out. The aborted read's completion is handled as an ordinary one and
        // reading goes on.
        namesPending_ = false;
        return false;
    }
    // The read asks for more than the memory, so that whatever follows the memory before the
    // line goes quiet lands in it too, and ends by the port's time-outs.
    downloadStarted_ = std::chrono::steady_clock::now();
    if (!QueueRead(downloadBuffer_.data(), names_download::kReadSize, WM_DEVICE_DATA)) {
        namesPending_ = false;
        static_cast<void>(SendCommand(cmd::kNamesTransferDone));  // the result changes nothing
        return false;
    }
    return true;
}

names_download::Verdict DeviceLink::FinishNamesDownload() {
    static_cast<void>(SendCommand(cmd::kNamesTransferDone));  // the result changes nothing

    // A read that did not fill its buffer ended by a time-out; one that ended before its total
    // time-out could have run out (counted from before the read started) ended by silence.
    const auto took = std::chrono::steady_clock::now() - downloadStarted_;
    const bool quiet = downloadReceived_ < names_download::kReadSize &&
                       took < std::chrono::milliseconds(kTimeouts.ReadTotalTimeoutConstant);
    const names_download::Verdict verdict = names_download::Check(
        std::span<const std::uint8_t>(downloadBuffer_.data(), downloadReceived_), quiet);
    if (verdict == names_download::Verdict::Accepted) {
        std::copy_n(downloadBuffer_.begin(), namesImage_.size(), namesImage_.begin());
    } else if (trace_) {
        trace_->Note(std::string("names download refused: ") + names_download::Describe(verdict));
    }
    return verdict;
}

std::optional<names_download::Verdict> DeviceLink::DownloadNamesOnce(MessagePump& pump) {
    if (!BeginNamesDownload()) return std::nullopt;

    // The read's notice reaches ProcessReceived through the owner, which clears the flag. A
    // port that fails or is closed discards the read without a notice: then there is no
    // download to wait for.
    pump.RunUntil([this] { return !namesPending_ || !IsOpen(); }, kNamesWaitLimit);
    if (namesPending_) {
        namesPending_ = false;
        // Still open, yet the read outlived its own time-outs: the port completes nothing any
        // more (a removed device whose driver never ends the read). Closing it is the
        // window's part, as for any failure of the port.
        ReportPortFailure();
        return std::nullopt;
    }
    if (!IsOpen()) return std::nullopt;
    return FinishNamesDownload();
}

void DeviceLink::PauseFor(std::chrono::milliseconds length) {
    if (pause_) {
        pause_(length);
    } else {
        std::this_thread::sleep_for(length);
    }
}

bool DeviceLink::QueueNamesByte(const std::uint8_t* byte) {
    PauseFor(kBytePause);
    return QueueWrite(byte, 1, 0);
}

bool DeviceLink::WriteNames() {
    // The header goes as one write; every later byte as a write of its own after a pause.
    bool queued =
        QueueWrite(kUploadHeader.data(), static_cast<std::uint32_t>(kUploadHeader.size()), 0);
    for (const names_layout::Section& section : names_layout::kSections) {
        if (!queued) break;
        queued = QueueNamesByte(&section.announce);
        for (int i = 0; queued && i < section.length; ++i)
            queued = QueueNamesByte(namesImage_.data() + section.offset + i);
    }
    // A byte that could not be queued ends the upload short of its end byte, rather than let
    // the bytes after it land one place early in the device's memory.
    if (queued) queued = QueueNamesByte(&kUploadEnd);
    if (!queued && trace_) trace_->NoteAndReset("names upload cut short");

    PauseFor(kEndPause);
    static_cast<void>(SendCommand(cmd::kNamesTransferDone));  // the result changes nothing
    return queued;
}

bool DeviceLink::ValidateNames() const { return names_fields::IsValid(namesImage_); }

}  // namespace r512
