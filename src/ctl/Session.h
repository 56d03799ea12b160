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
// for a register's report, for the writes to be out). Every wait is bounded and ends early when
// `stop` turns true (an interrupt).
class Session final : public MessagePump {
public:
    using Clock = std::chrono::steady_clock;
    using FrameHandler = std::function<void(const RegisterFrame&)>;

    explicit Session(const std::atomic<bool>* stop = nullptr);
    ~Session() override;

    // Starts the protocol trace (before Open). False, with `error` set, when the file can't be
    // opened.
    bool TraceTo(const std::string& path, std::string* error);

    // Bounds how long Open may wait for a network bridge (host name lookup and connection).
    void SetOpenTimeLimit(std::chrono::milliseconds limit) { link_.SetOpenTimeLimit(limit); }

    // Opens the port with the line of the speed setting. False when it can't be opened;
    // `error` then holds the reason in one line.
    bool Open(const std::string& port, int speed, std::string* error);

    // Asks for a full report and waits for it, asking again every second while nothing answers.
    // True when the device answered before `timeout`; then waits a little longer for registers
    // still missing from the report.
    bool Refresh(std::chrono::milliseconds timeout);

    // Hands notices to the link until `done` holds (true) or `until` passes or a stop is asked
    // (false). Every frame taken goes to `onFrame`, if given.
    bool PumpUntil(const std::function<bool()>& done, Clock::time_point until,
                   const FrameHandler& onFrame = nullptr);

    // Waits until every write queued so far has gone out (false after `timeout`).
    bool FlushWrites(std::chrono::milliseconds timeout);

    // The names download's event loop (MessagePump): bounded like every other wait.
    void RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override;

    bool Stopped() const { return stop_ != nullptr && stop_->load(); }

    // A port that has failed: a socket whose connection has gone (the bridge closed it, say),
    // a serial port hung up or pulled out.
    bool ConnectionLost();

    DeviceLink& Link() { return link_; }
    const RegisterMirror& Mirror() const { return link_.Mirror(); }

private:
    const std::atomic<bool>* stop_;
    BlockingNoticeQueue notices_;
    PortChannelByName* channel_;  // owned by the link
    DeviceLink link_;
    int flushesAsked_ = 0;
    int flushesDone_ = 0;
};

}  // namespace r512::ctl
