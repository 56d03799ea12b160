#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "serial/CommTimeouts.h"
#include "serial/IoRequest.h"

namespace r512 {

// The platform's port primitives under SerialLink. SerialLink owns the queues, their locks and
// the I/O thread's loop; a channel only opens and configures the port, starts one read and one
// write at a time, reports their completions and wakes the I/O thread for a stop.
//
// Thread use: Open and CreateEvents are called on the thread that opens the port: the I/O
// thread before its loop when the link opens in the background (the user-interface thread
// then leaves the channel alone until the open has ended), else the caller's thread.
// ReleaseEvents, RequestStop, Close and PurgeReceive are called on the user-interface thread,
// SetOpenTimeLimit there too while no Open runs. StartRead and StartWrite are called on either
// thread, always under the lock of their queue and only for that queue's head.
// WaitForCompletion is called on the I/O thread alone. SetOpenCancelled on any thread.
class PortChannel {
public:
    enum class OpenStatus { Opened, OpenFailed, ConfigureFailed };

    struct Completion {
        // Failed: the port itself has failed (the line hung up, the adapter was pulled out, the
        // device node went): no request on it will complete any more. The outstanding requests
        // are not reported; the link closes.
        enum class Kind { Stop, ReadDone, WriteDone, Failed, Nothing };
        Kind kind = Kind::Nothing;
        std::uint32_t count = 0;  // bytes transferred by the completed request
    };

    virtual ~PortChannel() = default;

    // Opens the named port for exclusive use and applies the line definition (a
    // "baud=11520 parity=N data=8 stop=1" string), raw 8-bit transfer without flow control,
    // DTR on and RTS off, and the time-outs. On a failure the port is left closed.
    virtual OpenStatus Open(const char* portName, const char* lineDefinition,
                            const CommTimeouts& timeouts) = 0;
    virtual void Close() = 0;
    // Why the last Open failed, in the platform's words ("No such file or directory",
    // "Connection refused", "Name or service not known"); empty when it is not known.
    virtual std::string OpenFailureCause() const { return {}; }
    virtual bool IsOpen() const = 0;

    // Bounds how long Open may wait for a port that answers slowly (a network connection with
    // its host name lookup). A port that opens or fails at once ignores it.
    virtual void SetOpenTimeLimit(std::chrono::milliseconds) {}
    // true: an Open running on another thread gives up within a few milliseconds (as
    // OpenFailed), and so does every later Open until it is set false again. A port that opens
    // or fails at once ignores it.
    virtual void SetOpenCancelled(bool) {}

    // Creates what wakes the I/O thread: the stop signal and the read and write completion
    // signals. ReleaseEvents frees them; it is called only when no thread waits on them.
    virtual bool CreateEvents() = 0;
    virtual void ReleaseEvents() = 0;

    // Starts a request. On a closed port the start fails silently and the request never
    // completes (it stays queued until ClosePort discards it). A start that finds the port
    // failed makes WaitForCompletion report Failed.
    virtual void StartRead(IoRequest& request) = 0;
    virtual void StartWrite(IoRequest& request) = 0;

    // Blocks until the stop signal, a completion or a failure of the port. When several are
    // due together the stop is reported first, then a failure, then a read completion, then a
    // write completion. After Failed it is not called again before the next Open.
    virtual Completion WaitForCompletion() = 0;

    // Signals the stop to the I/O thread.
    virtual void RequestStop() = 0;

    // Aborts the outstanding read, if it is still the request whose serial is `outstandingRead`
    // (it then completes at once with what had arrived; 0: no read to abort), and discards the
    // input not yet read. False when no port is open.
    virtual bool PurgeReceive(std::uint64_t outstandingRead) = 0;

    // The channel of the platform the program is built for.
    static std::unique_ptr<PortChannel> CreateForPlatform();
};

}  // namespace r512
