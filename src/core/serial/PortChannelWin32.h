#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>

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
// out; not a time-out or an abort) is reported like any other, with what it transferred. From
// then on no request is started on that port: each fails at once, as on a closed port, and
// stays queued until the port is closed. Otherwise a port that fails every request the moment
// it starts would keep the I/O thread completing and restarting reads without end.
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
    bool CreateEvents() override;
    void ReleaseEvents() override;
    void StartRead(IoRequest& request) override;
    void StartWrite(IoRequest& request) override;
    Completion WaitForCompletion() override;
    void RequestStop() override;
    bool PurgeReceive(IoRequest* outstandingRead) override;

    // The open port, INVALID_HANDLE_VALUE while closed (for tests that inspect its settings).
    HANDLE NativeHandle() const { return port_; }
    // The completion events (for tests that watch a request end without taking its completion).
    HANDLE ReadEvent() const { return readOverlapped_.hEvent; }
    HANDLE WriteEvent() const { return writeOverlapped_.hEvent; }

    // The flow-control fields of a device-control block as the link sets them (no handshake
    // of any kind, DTR on, RTS off, no abort on error); every other field stays as it is.
    static void ApplyLinkFlowControl(DCB& dcb);

private:
    void ResetOverlapped();

    HANDLE port_ = INVALID_HANDLE_VALUE;
    // Set by the I/O thread when a request ended in a failure of the port; read by whichever
    // thread starts the next request.
    std::atomic<bool> portFailed_{false};
    HANDLE stopEvent_ = INVALID_HANDLE_VALUE;
    OVERLAPPED readOverlapped_{};
    OVERLAPPED writeOverlapped_{};
};

}  // namespace r512
