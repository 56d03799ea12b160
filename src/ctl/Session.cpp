#include "ctl/Session.h"

#include <algorithm>

#include "base/Messages.h"
#include "ctl/TraceFile.h"
#include "serial/PortChannelSocket.h"
#include "ui/ConnectionController.h"

namespace r512::ctl {

namespace {

// The notice of an empty write queued behind the others: writes complete in queue order, so
// when it comes every earlier write is out.
constexpr std::uint32_t kWritesDone = WM_DEVICE_DATA + 1;
constexpr std::uint8_t kNothing = 0;

// How often a wait wakes to look at the stop flag.
constexpr std::chrono::milliseconds kStopPoll{100};
constexpr std::chrono::milliseconds kRefreshRetry{1000};
// The names download ends by the read's own time-outs (5 s at most); this only bounds a port
// that never completes it.
constexpr std::chrono::seconds kNamesDownloadLimit{15};

// A message of the string table on one line.
std::string OneLine(const char* text) {
    std::string line;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\n') {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += *c;
        }
    }
    return line;
}

}  // namespace

namespace {

std::unique_ptr<PortChannelByName> NewChannel(PortChannelByName*& keep) {
    auto channel = std::make_unique<PortChannelByName>();
    keep = channel.get();
    return channel;
}

}  // namespace

Session::Session(const std::atomic<int>* stop)
    : stop_(stop), channel_(nullptr), link_(NewChannel(channel_)) {}

bool Session::ConnectionLost() {
    if (failureNoticed_ || link_.PortFailed()) return true;
    const auto* socket = dynamic_cast<const PortChannelSocket*>(&channel_->Active());
    return socket != nullptr && socket->ConnectionLost();
}

Session::~Session() { link_.ClosePort(); }

bool Session::TraceTo(const std::string& path, std::string* error) {
    std::unique_ptr<ProtocolTrace> trace = OpenTraceFile(path, error);
    if (trace == nullptr) return false;
    if (!link_.TraceInto(std::move(trace))) {
        if (error) *error = "the trace can only start while the port is closed";
        return false;
    }
    return true;
}

bool Session::Open(const std::string& port, int speed, std::string* error) {
    // A failure is told with the program's message for it, on one line.
    const SerialLink::OpenResult result =
        link_.OpenPort(port.c_str(), ConnectionController::LineDefinition(speed), &notices_);
    const bool opened = result == SerialLink::OpenResult::Opened;
    if (!opened && error != nullptr) {
        const int message = ConnectionController::OpenFailureMessage(result);
        *error = port + ": " + (message != 0 ? OneLine(MessageText(message)) : "can't be opened");
        const std::string cause = channel_->Active().OpenFailureCause();
        if (!cause.empty()) *error += " (" + cause + ")";
    }
    return opened;
}

Session::Wait Session::PumpUntil(const std::function<bool()>& done, Clock::time_point until,
                                 const FrameHandler& onFrame, bool stoppable) {
    while (!done()) {
        if (stoppable && Stopped()) return Wait::Stopped;
        // What came before the loss is still handed on (the last reports of a watch).
        if (ConnectionLost() && notices_.Count() == 0) return Wait::Lost;
        if (Clock::now() >= until) return Wait::TimedOut;
        const auto notice = notices_.TakeUntil(std::min(until, Clock::now() + kStopPoll));
        if (!notice) continue;
        if (notice->message == kWritesDone) {
            // Every notice of the link passes AcceptNotice once (ProcessReceived does it for
            // the reads'); one of a port closed since counts for nothing.
            if (link_.AcceptNotice()) ++flushesDone_;
            continue;
        }
        if (notice->message == WM_PORT_FAILED) {
            if (link_.AcceptNotice()) failureNoticed_ = true;
            continue;
        }
        const RegisterFrame frame = link_.ProcessReceived(notice->requested, notice->received);
        frameArrived_ = notice->at;
        if (frame.Taken() && onFrame) onFrame(frame);
    }
    return Wait::Done;
}

Session::Wait Session::Refresh(Clock::time_point until, const std::function<bool()>& complete) {
    link_.RequestRefresh();
    for (;;) {
        // While nothing at all has answered, the refresh goes out again every second (a device
        // switched on meanwhile, a line that lost the first one).
        const bool silent = Mirror().AllPending();
        const Clock::time_point wait =
            silent ? std::min(until, Clock::now() + kRefreshRetry) : until;
        const Wait result =
            PumpUntil([&] { return complete() || (silent && !Mirror().AllPending()); }, wait);
        if (result == Wait::Done && complete()) return Wait::Done;
        if (result != Wait::Done && result != Wait::TimedOut) return result;
        if (Clock::now() >= until) return Wait::TimedOut;
        if (Mirror().AllPending()) link_.RequestRefresh();
    }
}

int Session::MarkWrites() {
    if (!link_.QueueWrite(&kNothing, 0, kWritesDone)) return -1;
    return ++flushesAsked_;
}

Session::Wait Session::FlushWrites(std::chrono::milliseconds timeout, bool stoppable) {
    const int mark = MarkWrites();
    if (mark < 0) return ConnectionLost() ? Wait::Lost : Wait::TimedOut;
    return PumpUntil([&] { return WritesOut(mark); }, Clock::now() + timeout, nullptr, stoppable);
}

void Session::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    // Not ended by an interrupt: a download left pending would never be followed by the 0x01
    // that the device needs to end the transfer. Its read ends by its own time-outs anyway.
    PumpUntil(done, Clock::now() + std::min<std::chrono::milliseconds>(limit, kNamesDownloadLimit),
              nullptr, false);
}

}  // namespace r512::ctl
