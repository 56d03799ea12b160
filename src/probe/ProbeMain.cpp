// r512-probe: connects to the device through the program's own device link, asks for a full
// report and prints the 26 registers with the values the program presents for them.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>

#include "device/DeviceLink.h"
#include "device/ValuePresentation.h"

namespace {

using namespace r512;

// Notices from the I/O thread, handed to the main thread in the order they were posted.
class NoticeQueue final : public NoticeTarget {
public:
    struct Notice {
        std::uint32_t message, requested, received;
    };
    void PostNotice(std::uint32_t message, std::uint32_t requested,
                    std::uint32_t received) override {
        std::lock_guard<std::mutex> guard(lock_);
        notices_.push_back({message, requested, received});
        ready_.notify_one();
    }
    bool Take(Notice& notice, std::chrono::steady_clock::time_point until) {
        std::unique_lock<std::mutex> guard(lock_);
        if (!ready_.wait_until(guard, until, [&] { return !notices_.empty(); })) return false;
        notice = notices_.front();
        notices_.pop_front();
        return true;
    }

private:
    std::mutex lock_;
    std::condition_variable ready_;
    std::deque<Notice> notices_;
};

std::string Presented(std::uint8_t code, std::uint8_t value) {
    switch (code) {
        case RS_AUDIO_SOURCE:
        case RS_ZONE_AUDIO_SOURCE:
            return SourceName(value);
        case RS_STEREO_MODE:
            return ModeName(value);
        case RS_SIGNAL_TYPE:
            return SignalTypeName(value);
        case RS_AUDIO_INPUT_TYPE:
            return AudioInputName(value);
        case RS_VIDEO_INPUT_TYPE:
            return VideoInputName(value);
        case RS_TV_SYSTEM:
            return TvSystemName(value);
        default:
            return std::to_string(DisplayValue(value, code));
    }
}

const char* StateName(RegisterState state) {
    switch (state) {
        case RegisterState::Known:
            return "Known";
        case RegisterState::Changed:
            return "Changed";
        case RegisterState::Shown:
            return "Shown";
        case RegisterState::Pending:
            return "Pending";
    }
    return "?";
}

bool AnyPending(const RegisterMirror& mirror) {
    for (int i = 0; i < kRegisterCount; ++i) {
        if (mirror.State(static_cast<std::uint8_t>(kFirstRegister + i)) == RegisterState::Pending)
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr,
                     "usage: r512-probe PORT [9600|12000] [--watch]\n"
                     "Connects to the R512 on PORT (COM1 is /dev/ttyS0; any other name is a\n"
                     "device path), refreshes and prints its 26 registers. --watch then prints\n"
                     "every report until interrupted.\n");
        return 2;
    }
    const char* port = argv[1];
    bool slow = false, watch = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "9600") == 0) slow = true;
        if (std::strcmp(argv[i], "--watch") == 0) watch = true;
    }
    const char* line =
        slow ? "baud=9600 parity=N data=8 stop=1" : "baud=11520 parity=N data=8 stop=1";

    NoticeQueue notices;
    DeviceLink link;
    if (!link.OpenPort(port, line, &notices)) return 1;
    link.RequestRefresh();

    // Wait for the full report; ask again every 2 s while nothing answers, as the program does.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(10);
    Clock::time_point nextRetry = Clock::now() + std::chrono::seconds(2);
    while (AnyPending(link.Mirror()) && Clock::now() < giveUp) {
        NoticeQueue::Notice notice{};
        if (notices.Take(notice, std::min(nextRetry, giveUp))) {
            link.ProcessReceived(notice.requested, notice.received);
        } else if (Clock::now() >= nextRetry && link.Mirror().AllPending()) {
            link.RequestRefresh();
            nextRetry = Clock::now() + std::chrono::seconds(2);
        }
    }

    const RegisterMirror& mirror = link.Mirror();
    if (mirror.AllPending()) std::printf("no answer from the R512 on %s\n", port);
    for (int i = 0; i < kRegisterCount; ++i) {
        const auto code = static_cast<std::uint8_t>(kFirstRegister + i);
        std::printf("0x%02X %-21s %3u  %-24s %s\n", code, RegisterName(code), mirror.Value(code),
                    Presented(code, mirror.Value(code)).c_str(), StateName(mirror.State(code)));
    }
    std::fflush(stdout);

    while (watch) {
        NoticeQueue::Notice notice{};
        if (!notices.Take(notice, Clock::now() + std::chrono::hours(1))) continue;
        const RegisterFrame frame = link.ProcessReceived(notice.requested, notice.received);
        if (frame.Taken() && IsRegisterCode(frame.code)) {
            std::printf("%s = %s\n", RegisterName(frame.code),
                        Presented(frame.code, frame.value).c_str());
            std::fflush(stdout);
        }
    }
    return mirror.AllPending() ? 1 : 0;
}
