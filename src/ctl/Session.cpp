#include "ctl/Session.h"

#include <algorithm>

#include "base/Messages.h"
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
// The device answers a refresh with 26 frames in a row; once the first has come, the rest
// follow within this.
constexpr std::chrono::milliseconds kReportRest{1000};
constexpr std::chrono::milliseconds kRefreshRetry{1000};
// The names download ends by the read's own time-outs (5 s at most); this only bounds a port
// that never completes it.
constexpr std::chrono::seconds kNamesDownloadLimit{15};

bool NonePending(const RegisterMirror& mirror) {
    for (int i = 0; i < kRegisterCount; ++i) {
        if (mirror.State(static_cast<std::uint8_t>(kFirstRegister + i)) == RegisterState::Pending)
            return false;
    }
    return true;
}

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

Session::Session(const std::atomic<bool>* stop)
    : stop_(stop), channel_(nullptr), link_(NewChannel(channel_)) {}

bool Session::ConnectionLost() {
    if (link_.PortFailed()) return true;
    const auto* socket = dynamic_cast<const PortChannelSocket*>(&channel_->Active());
    return socket != nullptr && socket->ConnectionLost();
}

Session::~Session() { link_.ClosePort(); }

bool Session::TraceTo(const std::string& path, std::string* error) {
    return link_.TraceTo(path, error);
}

bool Session::Open(const std::string& port, int speed, std::string* error) {
    // The link tells its failure as a message of the program's string table.
    int shown = 0;
    SetMessageSink([&shown](int id, const std::string&) { shown = id; });
    const bool opened =
        link_.OpenPort(port.c_str(), ConnectionController::LineDefinition(speed), &notices_);
    SetMessageSink(nullptr);
    if (!opened && error != nullptr) {
        *error = port + ": " + (shown != 0 ? OneLine(MessageText(shown)) : "can't be opened");
    }
    return opened;
}

bool Session::PumpUntil(const std::function<bool()>& done, Clock::time_point until,
                        const FrameHandler& onFrame) {
    while (!done()) {
        if (Stopped() || Clock::now() >= until) return false;
        const auto notice = notices_.TakeUntil(std::min(until, Clock::now() + kStopPoll));
        if (!notice) continue;
        if (notice->message == kWritesDone) {
            // Every notice of the link passes AcceptNotice once (ProcessReceived does it for
            // the reads'); one of a port closed since counts for nothing.
            if (link_.AcceptNotice()) ++flushesDone_;
            continue;
        }
        const RegisterFrame frame = link_.ProcessReceived(notice->requested, notice->received);
        if (frame.Taken() && onFrame) onFrame(frame);
    }
    return true;
}

bool Session::Refresh(std::chrono::milliseconds timeout) {
    const Clock::time_point giveUp = Clock::now() + timeout;
    link_.RequestRefresh();
    bool answered = false;
    while (!answered && !Stopped() && Clock::now() < giveUp) {
        const Clock::time_point retry = std::min(giveUp, Clock::now() + kRefreshRetry);
        answered = PumpUntil([&] { return !Mirror().AllPending(); }, retry);
        if (!answered && Mirror().AllPending() && Clock::now() < giveUp) link_.RequestRefresh();
    }
    if (!answered) return false;
    PumpUntil([&] { return NonePending(Mirror()); }, Clock::now() + kReportRest);
    return true;
}

bool Session::FlushWrites(std::chrono::milliseconds timeout) {
    if (!link_.QueueWrite(&kNothing, 0, kWritesDone)) return false;
    const int target = ++flushesAsked_;
    return PumpUntil([&] { return flushesDone_ >= target; }, Clock::now() + timeout);
}

void Session::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    PumpUntil(done, Clock::now() + std::min<std::chrono::milliseconds>(limit, kNamesDownloadLimit));
}

}  // namespace r512::ctl
