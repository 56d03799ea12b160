#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "device/NamesDownloadCheck.h"
#include "device/Protocol.h"
#include "device/RegisterMirror.h"
#include "serial/SerialLink.h"

namespace r512 {

class MessagePump;
class ProtocolTrace;

// The read notice that the link posts to its owner: requested length, bytes received.
constexpr std::uint32_t WM_DEVICE_DATA = 1124;  // WM_USER + 100

// The program's one connection to the device: the serial link with the device's protocol on
// top. It keeps one read of at most three bytes outstanding at all times, takes the device's
// register frames out of the byte stream, keeps the register mirror, and sends commands.
class DeviceLink : public SerialLink {
public:
    DeviceLink();
    explicit DeviceLink(std::unique_ptr<PortChannel> channel);
    ~DeviceLink() override;

    // The port's time-outs for the device: a read ends 100 ms after a byte without another or
    // after 5 s in all; a write after 1 s in all.
    static constexpr CommTimeouts kTimeouts{100, 0, 5000, 0, 1000};

    // Opens the port with the device's time-outs and queues the first three-byte read; the
    // outcome as SerialLink::OpenPort's (a port that opened but can't be read from is closed
    // again, as a failed start: ThreadFailed).
    [[nodiscard]] OpenResult OpenPort(const char* portName, const char* lineDefinition,
                                      NoticeTarget* owner);
    // The same for opening again, unasked, a port that failed: the trace notes only the first
    // of a run of failed attempts. True when the port is open and read from.
    [[nodiscard]] bool ReopenPort(const char* portName, const char* lineDefinition,
                                  NoticeTarget* owner);

    // The same in the background (SerialLink::BeginOpen): returns at once; the outcome comes as
    // WM_PORT_OPENED, which the owner hands to OpenCompleted; the owner tells the user of a
    // failure (ConnectionController::OpenFailureMessage) when the user asked for the open.
    // BeginReopen leaves no note in the trace, for the retry that opens again, unasked, a port that
    // failed.
    void BeginOpen(const char* portName, const char* lineDefinition, NoticeTarget* owner);
    void BeginReopen(const char* portName, const char* lineDefinition, NoticeTarget* owner);
    // The WM_PORT_OPENED notice, on the owner's thread: as SerialLink::OpenCompleted, and when
    // the port opened, the first three-byte read is queued.
    [[nodiscard]] std::optional<OpenResult> OpenCompleted(std::uint32_t received);

    // Queues the five-byte frame of a command. The frame's bytes belong to the write request
    // and are released when the write has completed or been discarded. While a names download
    // is outstanding nothing is sent and the result is false.
    bool SendCommand(std::uint8_t code);

    // Marks every register as awaited and sends the refresh command.
    bool RequestRefresh();

    // Consumes the completion of a read (requested and received length, as in the notice):
    // adds what arrived to the receive window and returns the frame it took, if any. A notice
    // of a port closed since it was posted changes nothing.
    //
    // The window holds the bytes that have arrived and are not yet judged, at its front; each
    // read asks for the rest of the window. However the reads are cut (short reads, empty
    // reads after the 5 s time-out), no byte that arrived is lost or judged twice: a frame
    // split across reads is taken whole. With two bytes 0xDF 0xFF at the front, that unit is
    // dropped; with three bytes, the window is a frame if the third is 0xFF, else its first
    // byte is dropped. So garbage is passed over within three bytes.
    RegisterFrame ProcessReceived(std::uint32_t requested, std::uint32_t received);

    RegisterMirror& Mirror() { return mirror_; }
    const RegisterMirror& Mirror() const { return mirror_; }

    bool NamesPending() const { return namesPending_; }

    // The names memory. ReadNames downloads the device's names memory and, when the download
    // is accepted (names_download::Check: exactly the 1024 bytes of the memory came and the
    // line went quiet after them, every text byte storable), puts it into NamesImage() and
    // returns true. A download that is not accepted never reaches the image: the image keeps
    // what it held, and the result is false. A download disturbed by a report of the device
    // (or cut short) is tried again, at most kNamesDownloadAttempts times in all. Meanwhile it
    // runs the thread's events through `pump` (each completion arrives as a notice that the
    // owner hands to ProcessReceived). When no port is open it sends nothing and returns
    // false. The command 0x01 follows every download that ended.
    //
    // The wait for each download ends when its read ends, when the port fails or is closed,
    // and in any case kNamesWaitLimit after it began: a read that outlives its own time-outs
    // means a port that no longer completes anything, and the link reports it failed
    // (WM_PORT_FAILED).
    [[nodiscard]] bool ReadNames(MessagePump& pump);
    static constexpr std::chrono::milliseconds kNamesWaitLimit{
        static_cast<std::int64_t>(kTimeouts.ReadTotalTimeoutMultiplier) * names_layout::kImageSize +
        kTimeouts.ReadTotalTimeoutConstant + 1000};
    static constexpr int kNamesDownloadAttempts = 3;
    // Uploads the source-name table and both messages from the image, paced for the device's
    // memory writes (about 2.06 s on the calling thread), then sends 0x01. False only when a
    // write could not be queued: the upload then stops short of its end byte, so that no byte
    // lands at the wrong place in the device's memory.
    [[nodiscard]] bool WriteNames();
    // True when every byte of the source-name table and of both messages is one the device
    // can store (0x14 to 0x7F).
    bool ValidateNames() const;

    // The image is the link's: the caller fills and reads it only between transfers.
    using NamesImageBytes = std::array<std::uint8_t, names_layout::kImageSize>;
    NamesImageBytes& NamesImage() { return namesImage_; }
    const NamesImageBytes& NamesImage() const { return namesImage_; }

    // Starts the protocol trace: every byte sent and received from now on is appended to the
    // file, decoded (ProtocolTrace). Only while the port is closed; false when the port is open
    // or the file can't be opened. A link traces from its construction when the environment
    // names a file in R512_TRACE.
    [[nodiscard]] bool TraceTo(const std::string& path);
    // The same with a trace the caller has opened (in place of any earlier one); false (and
    // the trace dropped) only when the port is open.
    [[nodiscard]] bool TraceInto(std::unique_ptr<ProtocolTrace> trace);

    // The pause between the upload's writes; std::this_thread::sleep_for unless replaced.
    using Pause = std::function<void(std::chrono::milliseconds)>;
    void SetPause(Pause pause);

    // The download of ReadNames in two steps, for an owner that runs its own event loop
    // instead of a pump (a device server). BeginNamesDownload purges the input, sends the
    // request and queues the download read; false, with the download over, when nothing went
    // out. The read's notice, handed to ProcessReceived, clears NamesPending(); then (the port
    // still open) FinishNamesDownload sends 0x01 and judges what came (names_download::Check),
    // copying it into the image only when accepted. An owner whose read outlives
    // kNamesWaitLimit reports the port failed, as ReadNames does.
    [[nodiscard]] bool BeginNamesDownload();
    names_download::Verdict FinishNamesDownload();

protected:
    // For the names transfer: the image of the device's names memory (only accepted downloads
    // and the caller's edits reach it) and the flag that a download read is outstanding.
    NamesImageBytes namesImage_{};
    bool namesPending_ = false;

private:
    // Queues the read of the rest of the receive window.
    bool QueueWindowRead();
    void DropFromWindow(std::uint32_t count);
    void PauseFor(std::chrono::milliseconds length);
    bool QueueNamesByte(const std::uint8_t* byte);  // after the pause between upload bytes
    // One download into downloadBuffer_ and its verdict; nothing when the port failed, was
    // closed or took no request (then the download is over).
    std::optional<names_download::Verdict> DownloadNamesOnce(MessagePump& pump);

    Pause pause_;
    std::unique_ptr<ProtocolTrace> trace_;  // outlives the I/O thread: the destructor closes first
    bool reopenFailedNoted_ = false;        // the trace has said that reopening fails

    RegisterMirror mirror_;
    std::array<std::uint8_t, 3> receiveWindow_{};
    std::uint32_t windowFilled_ = 0;  // bytes at the window's front that have arrived

    // Where a names download lands before it is judged, and how much of it came.
    std::array<std::uint8_t, names_download::kReadSize> downloadBuffer_{};
    std::uint32_t downloadReceived_ = 0;
    std::chrono::steady_clock::time_point downloadStarted_{};
};

}  // namespace r512
