#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "serial/PortChannel.h"

namespace r512 {

// The port primitives on POSIX systems. The I/O thread does the reading and writing itself:
// it waits with poll() on the port and on a wake-up pipe, and applies the read and write
// time-outs as a serial driver would (a read completes when its bytes have arrived, after the
// interval time-out following a byte, or after its total time; a write when its bytes are out
// or after its total time).
//
// Starting a request only hands it to the I/O thread through an atomic slot and wakes it, so
// no lock is shared between the user-interface thread and the I/O thread besides the queues'.
//
// A hang-up or an error on the port never makes the thread spin: the port is no longer
// watched, an outstanding read ends at its total time-out with what had arrived (as from a
// silent device) and a write ends at once with the bytes that went out.
class PortChannelPosix final : public PortChannel {
public:
    PortChannelPosix();
    ~PortChannelPosix() override;

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

    // The device path a port name stands for: "COMn" is /dev/ttyS(n-1), anything else is a path.
    static std::string DevicePath(const std::string& portName);

    // The descriptor of the open port, -1 when closed (for tests that read the line back).
    int NativeHandle() const { return fd_; }

private:
    using Clock = std::chrono::steady_clock;

    struct ActiveRead {
        IoRequest* request = nullptr;
        std::uint32_t received = 0;
        Clock::time_point started;
        Clock::time_point lastByte;
        bool done = false;
    };
    struct ActiveWrite {
        IoRequest* request = nullptr;
        std::uint32_t sent = 0;
        Clock::time_point started;
        bool done = false;
    };

    void Wake();
    void DrainWakePipe();
    void AdoptStartedRequests(Clock::time_point now);
    void TransferRead(Clock::time_point now);
    void TransferWrite(Clock::time_point now);
    void ApplyTimeouts(Clock::time_point now);
    int PollTimeoutMs(Clock::time_point now) const;
    bool ReadIsImmediate() const;

    int fd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    CommTimeouts timeouts_{};

    // Handed over from the starting thread to the I/O thread.
    std::atomic<IoRequest*> startedRead_{nullptr};
    std::atomic<IoRequest*> startedWrite_{nullptr};
    std::atomic<bool> stopRequested_{false};
    std::atomic<IoRequest*> abortRead_{nullptr};

    // Owned by the I/O thread while it runs.
    ActiveRead read_;
    ActiveWrite write_;
    bool portDead_ = false;
};

}  // namespace r512
