// The names memory transfer of the device link: the download into the image, its check, and
// the paced upload of the source-name table and the two messages.
#include <thread>

#include "base/MessagePump.h"
#include "device/DeviceLink.h"
#include "device/NamesFields.h"

namespace r512 {

namespace {

// The bytes of the exchange live in static storage: the write queue keeps a pointer to them.
constexpr std::uint8_t kDownloadRequest = NamesBytes::DownloadRequest;
constexpr std::array<std::uint8_t, 8> kUploadHeader = {
    NamesBytes::UploadStart, NamesBytes::WriteKey[0], NamesBytes::WriteKey[1],
    NamesBytes::WriteKey[2], NamesBytes::WriteKey[3], NamesBytes::WriteKey[4],
    NamesBytes::WriteKey[5], NamesBytes::WriteKey[6]};
constexpr std::uint8_t kSourceNames = NamesBytes::SourceNames;
constexpr std::uint8_t kWelcomeMessage = NamesBytes::WelcomeMessage;
constexpr std::uint8_t kStandbyMessage = NamesBytes::StandbyMessage;
constexpr std::uint8_t kUploadEnd = NamesBytes::UploadEnd;

// The device stores each byte of an upload as it comes and needs 10 ms for it; after the end
// byte it needs 100 ms before it takes a command again.
constexpr std::chrono::milliseconds kBytePause{10};
constexpr std::chrono::milliseconds kEndPause{100};

struct Section {
    const std::uint8_t* announce;
    int offset;
    int length;
};
constexpr Section kSections[] = {
    {&kSourceNames, NamesLayout::SourceTableOffset, NamesLayout::SourceTableLength},
    {&kWelcomeMessage, NamesLayout::WelcomeOffset, NamesLayout::MessageLength},
    {&kStandbyMessage, NamesLayout::StandbyOffset, NamesLayout::MessageLength},
};

}  // namespace

void DeviceLink::SetPause(Pause pause) { pause_ = std::move(pause); }

bool DeviceLink::ReadNames(MessagePump& pump) {
    namesPending_ = true;
    // Abort the ordinary read (its completion comes later and is dropped while the flag is
    // set) and throw away unread input, so that the image starts with the reply's first byte.
    if (!PurgeReceive()) {
        namesPending_ = false;  // no port: nothing is sent
        return false;
    }
    if (!QueueWrite(&kDownloadRequest, 1, 0)) {
        // Nothing went out. The aborted read's completion is handled as an ordinary one and
        // reading goes on.
        namesPending_ = false;
        return false;
    }
    if (!QueueRead(namesImage_.data(), NamesLayout::ImageSize, WM_DEVICE_DATA)) {
        namesPending_ = false;
        SendCommand(Cmd::NamesTransferDone);
        return false;
    }

    // The read ends when the whole memory has come or by the port's time-outs; its notice
    // reaches ProcessReceived through the owner, which clears the flag. Closing the port
    // discards the read without a notice: then there is no download to wait for.
    pump.RunUntil([this] { return !namesPending_ || !IsOpen(); });
    if (namesPending_) {
        namesPending_ = false;
        return false;
    }

    SendCommand(Cmd::NamesTransferDone);
    // The number of bytes that came is not looked at: a short or missing reply leaves the
    // rest of the image as it was, and the check alone decides.
    return ValidateNames();
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
    for (const Section& section : kSections) {
        if (!queued) break;
        queued = QueueNamesByte(section.announce);
        for (int i = 0; queued && i < section.length; ++i)
            queued = QueueNamesByte(namesImage_.data() + section.offset + i);
    }
    // A byte that could not be queued ends the upload short of its end byte, rather than let
    // the bytes after it land one place early in the device's memory.
    if (queued) queued = QueueNamesByte(&kUploadEnd);

    PauseFor(kEndPause);
    SendCommand(Cmd::NamesTransferDone);
    return queued;
}

bool DeviceLink::ValidateNames() const { return NamesFields::IsValid(namesImage_); }

}  // namespace r512
