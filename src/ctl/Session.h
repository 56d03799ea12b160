#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

#include "base/BlockingNoticeQueue.h"
#include "base/MessagePump.h"
#include "device/DeviceLink.h"
#include "serial/PortChannelByName.h"

namespace r512::ctl {

// One connection to the device for one command: the program's own device link, its notices
// handed to ProcessReceived on this thread, and the waits a command needs (for the full report,
// for a register's report, for the writes to be out). Every wait is bounded, and ends early when
// the port fails or the connection is lost and when `stop` turns nonzero (an interrupt; it
// holds the signal's number).
class Session final : public MessagePump {
public:
    using Clock = std::chrono::steady_clock;
    using FrameHandler = std::function<void(const RegisterFrame&)>;
    // How a wait ended.
    enum class Wait { Done, TimedOut, Stopped, Lost };

    explicit Session(const std::atomic<int>* stop = nullptr);
    ~Session() override;

    // Starts the protocol trace (before Open). False, with `error` set, when the file can't be
    // opened. "-" is standard error.
    bool TraceTo(const std::string& path, std::string* error);

    // Bounds how long Open may wait for a network bridge (host name lookup and connection).
    void SetOpenTimeLimit(std::chrono::milliseconds limit) { link_.SetOpenTimeLimit(limit); }

    // Opens the port with the line of the speed setting. False when it can't be opened;
    // `error` then holds the reason in one line.
    bool Open(const std::string& port, int speed, std::string* error);

    // Asks for a full report, asking again every second while nothing at all answers, and
    // waits until `complete` holds (Done) or `until` passes (TimedOut: Mirror().AllPending()
    // tells whether anything answered).
    Wait Refresh(Clock::time_point until, const std::function<bool()>& complete);

    // Hands notices to the link until `done` holds (Done) or `until` passes, the connection is
    // lost or, when `stoppable`, a stop is asked. Every frame taken goes to `onFrame`, if given.
    Wait PumpUntil(const std::function<bool()>& done, Clock::time_point until,
                   const FrameHandler& onFrame = nullptr, bool stoppable = true);

    // When the link posted the notice of the frame being handed to `onFrame`.
    Clock::time_point FrameArrived() const { return frameArrived_; }

    // Waits until every write queued so far has gone out; `stoppable` as PumpUntil.
    Wait FlushWrites(std::chrono::milliseconds timeout, bool stoppable = true);

    // The names download's event loop (MessagePump): bounded like every other wait.
    void RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override;

    // The signal that asked the stop; 0 while none has.
    int StopSignal() const { return stop_ != nullptr ? stop_->load() : 0; }
    bool Stopped() const { return StopSignal() != 0; }

    // A port that has failed: a socket whose connection has gone (the bridge closed it, say),
    // a serial port hung up or pulled out.
    bool ConnectionLost();

    DeviceLink& Link() { return link_; }
    const RegisterMirror& Mirror() const { return link_.Mirror(); }

private:
    // Marks the writes queued so far: WritesOut(mark) turns true once they have all gone out.
    // -1 when nothing can be queued (the port is closed or failed).
    int MarkWrites();
    bool WritesOut(int mark) const { return mark >= 0 && flushesDone_ >= mark; }

    const std::atomic<int>* stop_;
    BlockingNoticeQueue notices_;
    PortChannelByName* channel_;  // owned by the link
    DeviceLink link_;
    bool failureNoticed_ = false;
    Clock::time_point frameArrived_{};
    int flushesAsked_ = 0;
    int flushesDone_ = 0;
};

}  // namespace r512::ctl
