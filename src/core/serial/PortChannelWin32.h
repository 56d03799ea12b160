#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "base/UniqueHandleWin32.h"

#include "serial/PortChannel.h"

namespace r512 {

// The port primitives on Windows: a COM port opened for overlapped I/O. Every read of the link
// uses the one read OVERLAPPED and every write the one write OVERLAPPED; their events are
// manual-reset and signal the completion of the request in flight. The stop event is
// auto-reset. The I/O thread waits on the three in the order stop, read, write, so that a stop
// is seen before a completion and a read completion before a write completion.
//
// The serial driver applies the time-outs: a read ends when its bytes have arrived, at the
// interval time-out after a byte, or at its total time; a write when its bytes are out or at
// its total time.
//
// A request that ends in a failure of the port itself (the line hung up, the adapter pulled
// out, access to the device withdrawn; not a time-out or an abort), a request that can't even
// start for such a reason, and a port whose error state can no longer be read after a read
// ended short (ClearCommError failing) are reported as a failure of the port, once. From then
// on no request is started on it: each fails at once, as on a closed port, and the link closes.
// Otherwise a port that fails every request the moment it starts would keep the I/O thread
// completing and restarting reads without end.
class PortChannelWin32 final : public PortChannel {
public:
    PortChannelWin32();
    ~PortChannelWin32() override;

    PortChannelWin32(const PortChannelWin32&) = delete;
    PortChannelWin32& operator=(const PortChannelWin32&) = delete;

    OpenStatus Open(const char* portName, const char* lineDefinition,
                    const CommTimeouts& timeouts) override;
    void Close() override;
    bool IsOpen() const override;
    std::string OpenFailureCause() const override { return openFailure_; }
    bool CreateEvents() override;
    void ReleaseEvents() override;
    void StartRead(IoRequest& request) override;
    void StartWrite(IoRequest& request) override;
    Completion WaitForCompletion() override;
    void RequestStop() override;
    bool PurgeReceive(std::uint64_t outstandingRead) override;

    // The open port, INVALID_HANDLE_VALUE while closed (for tests that inspect its settings).
    HANDLE NativeHandle() const { return port_.Get(); }
    // The completion events (for tests that watch a request end without taking its completion).
    HANDLE ReadEvent() const { return readEvent_.Get(); }
    HANDLE WriteEvent() const { return writeEvent_.Get(); }

    // The flow-control fields of a device-control block as the link sets them (no handshake
    // of any kind, DTR on, RTS off, no abort on error); every other field stays as it is.
    static void ApplyLinkFlowControl(DCB& dcb);

private:
    std::string openFailure_;  // why the last Open failed
    // Fresh OVERLAPPED structures carrying the completion events.
    void ResetOverlapped();
    // A request could not start because the port has failed: wakes the I/O thread through
    // that request's completion event to report it.
    void StartFailed(HANDLE completionEvent);

    UniqueHandle port_;
    // Set when the port has failed, by the I/O thread or by a start; read by whichever thread
    // starts the next request.
    std::atomic<bool> portFailed_{false};
    // A start found the port failed; the I/O thread reports it.
    std::atomic<bool> failedAtStart_{false};
    // The serial of the read in flight on the read OVERLAPPED, 0 when none: a purge cancels
    // only the read it was meant for.
    std::atomic<std::uint64_t> readInFlight_{0};
    UniqueHandle stopEvent_;
    UniqueHandle readEvent_;
    UniqueHandle writeEvent_;
    OVERLAPPED readOverlapped_{};
    OVERLAPPED writeOverlapped_{};
};

}  // namespace r512
