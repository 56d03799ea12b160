// libFuzzer target for the names download path: the device answers every download request with
// the same bytes, whatever they are (its memory with reports ahead, inside or behind it, short,
// long, garbage). The property: ReadNames takes the answer only when it is exactly the memory's
// 1024 bytes with storable names and messages, and then the image is those bytes; otherwise it
// reports failure and the image is what it was. A memory fault is the sanitizers' to report.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "base/BlockingNoticeQueue.h"
#include "base/MessagePump.h"
#include "device/DeviceLink.h"
#include "device/NamesFields.h"
#include "support/FakePortChannel.h"

namespace {

using namespace std::chrono_literals;
using r512::test::FakePortChannel;

void Fail(const char* what) {
    std::fprintf(stderr, "names download property: %s\n", what);
    std::abort();
}

// The window's loop for the link: before each wait it plays the device (ends the ordinary read
// that the purge aborted, then answers the download read), then hands a notice to the link.
class DevicePump final : public r512::MessagePump {
public:
    DevicePump(r512::DeviceLink& link, r512::BlockingNoticeQueue& notices, FakePortChannel& fake,
               std::vector<std::uint8_t> answer)
        : link_(link), notices_(notices), fake_(fake), answer_(std::move(answer)) {}

    void RunUntil(const std::function<bool()>& done, std::chrono::milliseconds) override {
        const auto until = std::chrono::steady_clock::now() + 5s;
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) Fail("the download never ended");
            const std::size_t started = fake_.ReadsStarted();
            if (started != answered_ && fake_.LastRead().length <= 3) {
                fake_.CompleteRead({});
                if (!fake_.WaitForReads(started + 1, 5000ms)) Fail("no download read");
                auto bytes = answer_;
                bytes.resize(std::min<std::size_t>(bytes.size(), fake_.LastRead().length));
                fake_.CompleteRead(bytes);
                answered_ = started + 1;
            }
            if (auto notice = notices_.Take(100ms))
                static_cast<void>(link_.ProcessReceived(notice->requested, notice->received));
        }
    }

private:
    r512::DeviceLink& link_;
    r512::BlockingNoticeQueue& notices_;
    FakePortChannel& fake_;
    std::vector<std::uint8_t> answer_;
    std::size_t answered_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The answer: the input, or, when it starts with 0x00, a memory of spaces with the rest of
    // the input laid over its front (so that whole memories are found quickly).
    std::vector<std::uint8_t> answer(data, data + size);
    if (size > 0 && data[0] == 0x00) {
        answer.assign(r512::names_layout::kImageSize, 0x20);
        std::copy(data + 1, data + std::min<std::size_t>(size, answer.size() + 1), answer.begin());
        if (size > answer.size() + 1)
            answer.insert(answer.end(), data + answer.size() + 1, data + size);
    }

    FakePortChannel::Shared shared;
    r512::BlockingNoticeQueue notices;
    r512::DeviceLink link(std::make_unique<FakePortChannel>(shared));
    FakePortChannel fake(shared);
    if (link.OpenPort("COM1", "baud=11520 parity=N data=8 stop=1", &notices) !=
        r512::SerialLink::OpenResult::Opened)
        Fail("no open");
    if (!fake.WaitForReads(1, 5000ms)) Fail("no first read");
    const auto before = link.NamesImage();
    DevicePump pump(link, notices, fake, answer);
    const bool taken = link.ReadNames(pump);

    r512::names_fields::Image image{};
    const bool whole = answer.size() == image.size();
    if (whole) std::copy(answer.begin(), answer.end(), image.begin());
    const bool takeable = whole && r512::names_fields::IsValid(image);
    if (taken != takeable)
        Fail(taken ? "an answer that is not the memory was taken" : "the whole memory was refused");
    if (taken && link.NamesImage() != image) Fail("the image is not the answer");
    if (!taken && link.NamesImage() != before) Fail("a refused answer reached the image");
    link.ClosePort();
    return 0;
}
