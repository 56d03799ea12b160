#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

#include "serial/ByteTrace.h"

namespace r512 {

// Says what the bytes on the wire mean: the command frames and the names transfer that the
// program sends, the register frames, filler units and stray bytes that the device sends. The
// device's bytes are taken as one stream (a frame may arrive over several reads); each call
// describes the units that its bytes complete.
class TraceDecoder {
public:
    // "key volume-up", "names download request", "source names byte 3 'A'".
    std::string DescribeSent(const std::uint8_t* bytes, std::uint32_t count);
    // "RS_VOLUME = 65 (vol: -35)", "filler", "stray 0x00", "..." for a unit not yet complete;
    // several units are separated by "; ". A read of the whole names memory is described as
    // such.
    std::string DescribeReceived(const std::uint8_t* bytes, std::uint32_t count,
                                 std::uint32_t requested);

    // Forgets what earlier bytes began (a frame part, an upload under way): the next bytes
    // start afresh, as after a reopen, a purge or an upload cut short.
    void Reset();

private:
    std::string DescribeUploadByte(std::uint8_t byte);

    std::vector<std::uint8_t> pending_;  // received bytes not yet part of a complete unit
    // The names upload: the announced section and how many of its bytes have gone out.
    std::uint8_t uploadSection_ = 0;
    bool uploading_ = false;
    int sectionDone_ = 0;
};

// The protocol trace: every byte sent and received, one line per completed request, with a
// millisecond time stamp and the decoded meaning, appended to a file:
//   12:00:01.234 → E0 52 53 21 31  key volume-up
//   12:00:01.240 ← E1 42 FF  RS_VOLUME = 66 (vol: -34)
// Off unless a link is given one (DeviceLink::TraceTo). Sent and Received come from the link's
// I/O thread, Note from any thread; a lock keeps the lines whole.
class ProtocolTrace final : public ByteTrace {
public:
    // The trace on a file, or why the file can't be opened (the system's error).
    struct Opened {
        std::unique_ptr<ProtocolTrace> trace;
        std::error_code error;
    };
    // Opens the file for appending.
    [[nodiscard]] static Opened Open(const std::string& path);
    // A trace into a file the caller has opened (standard error, a file opened without
    // blocking); the trace owns it and closes it.
    static std::unique_ptr<ProtocolTrace> OnFile(std::FILE* file);
    ~ProtocolTrace() override;

    ProtocolTrace(const ProtocolTrace&) = delete;
    ProtocolTrace& operator=(const ProtocolTrace&) = delete;

    void Sent(const std::uint8_t* bytes, std::uint32_t count) override;
    void Received(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t requested) override;
    void PortFailed() override;
    void Purged() override;
    // A line of its own, for events around the bytes ("open socket://127.0.0.1:4001").
    void Note(const std::string& text);
    // A line of its own for an event after which the bytes start afresh (a reopen, an upload
    // cut short): the decoder forgets what earlier bytes began.
    void NoteAndReset(const std::string& text);

private:
    explicit ProtocolTrace(std::FILE* file);
    void Write(const char* direction, const std::uint8_t* bytes, std::uint32_t count,
               const std::string& meaning);

    std::mutex lock_;
    std::FILE* file_;
    TraceDecoder decoder_;
};

}  // namespace r512
