#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "serial/PortChannel.h"

namespace r512::test {

// A port whose completions the test decides: it records every start and lets the test complete
// the outstanding read (with bytes of its choosing) or write, or signal the stop, in any
// combination. The link's own I/O thread and queues run unchanged on top of it.
class FakePortChannel final : public PortChannel {
public:
    // A request as it was when the link started it (the request itself is freed on completion).
    struct Started {
        IoRequest* request;
        std::uint8_t* data;
        std::uint32_t length;
        std::uint32_t noticeMessage;
        std::vector<std::uint8_t> bytes;  // a write's bytes at its start
    };

    struct Shared {
        std::mutex lock;
        std::condition_variable changed;
        bool open = false;
        bool eventsCreated = false;
        OpenStatus openResult = OpenStatus::Opened;
        bool eventsResult = true;
        std::vector<Started> readsStarted;
        std::vector<Started> writesStarted;
        std::deque<Completion> due;  // completions the I/O thread will report, in order
        int purges = 0;
        std::string lastPort;  // what the last Open was given
        std::string lastLine;
    };

    explicit FakePortChannel(Shared& shared) : s_(shared) {}

    OpenStatus Open(const char* port, const char* line, const CommTimeouts&) override {
        std::lock_guard<std::mutex> guard(s_.lock);
        s_.lastPort = port;
        s_.lastLine = line;
        s_.open = s_.openResult == OpenStatus::Opened;
        return s_.openResult;
    }
    void Close() override {
        std::lock_guard<std::mutex> guard(s_.lock);
        s_.open = false;
    }
    bool IsOpen() const override {
        std::lock_guard<std::mutex> guard(s_.lock);
        return s_.open;
    }
    bool CreateEvents() override {
        std::lock_guard<std::mutex> guard(s_.lock);
        s_.eventsCreated = s_.eventsResult;
        return s_.eventsResult;
    }
    void ReleaseEvents() override {
        std::lock_guard<std::mutex> guard(s_.lock);
        s_.eventsCreated = false;
        s_.due.clear();
    }
    void StartRead(IoRequest& request) override {
        std::lock_guard<std::mutex> guard(s_.lock);
        if (!s_.open) return;
        s_.readsStarted.push_back(
            {&request, request.data, request.length, request.noticeMessage, {}});
        s_.changed.notify_all();
    }
    void StartWrite(IoRequest& request) override {
        std::lock_guard<std::mutex> guard(s_.lock);
        if (!s_.open) return;
        s_.writesStarted.push_back({&request,
                                    request.data,
                                    request.length,
                                    request.noticeMessage,
                                    {request.data, request.data + request.length}});
        s_.changed.notify_all();
    }
    Completion WaitForCompletion() override {
        std::unique_lock<std::mutex> guard(s_.lock);
        s_.changed.wait(guard, [&] { return !s_.due.empty(); });
        Completion next = s_.due.front();
        s_.due.pop_front();
        if (next.kind == Completion::Kind::Stop) s_.due.clear();
        s_.changed.notify_all();
        return next;
    }
    void RequestStop() override { Push({Completion::Kind::Stop, 0}); }
    bool PurgeReceive(IoRequest*) override {
        std::lock_guard<std::mutex> guard(s_.lock);
        ++s_.purges;
        return s_.open;
    }

    // Test side.
    void Push(Completion completion) {
        std::lock_guard<std::mutex> guard(s_.lock);
        s_.due.push_back(completion);
        s_.changed.notify_all();
    }
    // Completes the newest started read with these bytes (landing at the front of its buffer).
    void CompleteRead(const std::vector<std::uint8_t>& bytes) {
        {
            std::lock_guard<std::mutex> guard(s_.lock);
            // The newest read is the one outstanding: its request is still alive.
            IoRequest* request = s_.readsStarted.back().request;
            if (!bytes.empty()) std::memcpy(request->data, bytes.data(), bytes.size());
        }
        Push({Completion::Kind::ReadDone, static_cast<std::uint32_t>(bytes.size())});
    }
    std::size_t ReadsStarted() {
        std::lock_guard<std::mutex> guard(s_.lock);
        return s_.readsStarted.size();
    }
    std::size_t WritesStarted() {
        std::lock_guard<std::mutex> guard(s_.lock);
        return s_.writesStarted.size();
    }
    Started LastRead() {
        std::lock_guard<std::mutex> guard(s_.lock);
        return s_.readsStarted.back();
    }
    bool WaitForReads(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> guard(s_.lock);
        return s_.changed.wait_for(guard, timeout, [&] { return s_.readsStarted.size() >= count; });
    }
    bool WaitForWrites(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> guard(s_.lock);
        return s_.changed.wait_for(guard, timeout,
                                   [&] { return s_.writesStarted.size() >= count; });
    }
    // Waits until the I/O thread has taken every pushed completion.
    bool WaitIdle(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> guard(s_.lock);
        return s_.changed.wait_for(guard, timeout, [&] { return s_.due.empty(); });
    }

private:
    Shared& s_;
};

}  // namespace r512::test
