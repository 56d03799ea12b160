#include "serial/SerialLink.h"

#include <new>
#include <system_error>
#include <utility>

#include "base/Messages.h"
#include "serial/PortChannelByName.h"

namespace r512 {

SerialLink::SerialLink() : SerialLink(CreatePortChannel()) {}

SerialLink::SerialLink(std::unique_ptr<PortChannel> channel) : channel_(std::move(channel)) {}

SerialLink::~SerialLink() { ClosePort(); }

bool SerialLink::IsOpen() const { return channel_->IsOpen(); }

bool SerialLink::OpenPort(const char* portName, const char* lineDefinition,
                          const CommTimeouts* timeouts, NoticeTarget* owner) {
    // A second open without a close would leave the first thread running.
    if (channel_->IsOpen() || running_.load()) ClosePort();

    owner_ = owner;
    const CommTimeouts applied = timeouts ? *timeouts : CommTimeouts{};
    switch (
        channel_->Open(portName ? portName : "", lineDefinition ? lineDefinition : "", applied)) {
        case PortChannel::OpenStatus::OpenFailed:
            ShowMessage(IDS_PORT_OPEN_FAILED);
            return false;
        case PortChannel::OpenStatus::ConfigureFailed:
            ShowMessage(IDS_PORT_CONFIGURE_FAILED);
            return false;
        case PortChannel::OpenStatus::Opened:
            break;
    }

    if (!channel_->CreateEvents()) {
        channel_->ReleaseEvents();
        channel_->Close();
        ShowMessage(IDS_THREAD_FAILED);
        return false;
    }
    running_.store(1);
    try {
        thread_ = std::thread(&SerialLink::IoThread, this);
    } catch (const std::system_error&) {
        running_.store(0);
        // Nothing waits on the events: free them with the port.
        channel_->ReleaseEvents();
        channel_->Close();
        ShowMessage(IDS_THREAD_FAILED);
        return false;
    }

    // Requests queued while the link was closed were never started: start the heads now so
    // that neither queue stays stalled behind them.
    {
        std::lock_guard<std::mutex> guard(readQueue_.lock);
        if (!readQueue_.requests.empty()) channel_->StartRead(*readQueue_.requests.front());
    }
    {
        std::lock_guard<std::mutex> guard(writeQueue_.lock);
        if (!writeQueue_.requests.empty()) channel_->StartWrite(*writeQueue_.requests.front());
    }
    return true;
}

bool SerialLink::ClosePort() {
    if (thread_.joinable()) {
        channel_->RequestStop();
        thread_.join();
    }
    // The thread has left its loop: nothing waits on the events any more.
    channel_->ReleaseEvents();
    channel_->Close();

    // Discard what is still queued, reads first, without notices and without touching the
    // callers' bytes.
    readQueue_.requests.clear();
    writeQueue_.requests.clear();
    return true;
}

bool SerialLink::QueueWrite(const void* data, std::uint32_t length, std::uint32_t noticeMessage) {
    std::unique_ptr<IoRequest> request(new (std::nothrow) IoRequest);
    if (!request) return false;
    // The port only reads these bytes; the request keeps a mutable pointer for both directions.
    request->data = static_cast<std::uint8_t*>(const_cast<void*>(data));
    request->length = length;
    request->noticeMessage = noticeMessage;
    return Enqueue(writeQueue_, std::move(request), false);
}

bool SerialLink::QueueOwnedWrite(std::unique_ptr<std::uint8_t[]> bytes, std::uint32_t length,
                                 std::uint32_t noticeMessage) {
    std::unique_ptr<IoRequest> request(new (std::nothrow) IoRequest);
    if (!request) return false;
    request->data = bytes.get();
    request->length = length;
    request->noticeMessage = noticeMessage;
    request->ownedData = std::move(bytes);
    return Enqueue(writeQueue_, std::move(request), false);
}

bool SerialLink::QueueRead(void* buffer, std::uint32_t length, std::uint32_t noticeMessage) {
    std::unique_ptr<IoRequest> request(new (std::nothrow) IoRequest);
    if (!request) return false;
    request->data = static_cast<std::uint8_t*>(buffer);
    request->length = length;
    request->noticeMessage = noticeMessage;
    return Enqueue(readQueue_, std::move(request), true);
}

bool SerialLink::Enqueue(Queue& queue, std::unique_ptr<IoRequest> request, bool isRead) {
    std::lock_guard<std::mutex> guard(queue.lock);
    try {
        queue.requests.push_back(std::move(request));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (queue.requests.size() == 1) {
        IoRequest& head = *queue.requests.front();
        if (isRead) {
            channel_->StartRead(head);
        } else {
            channel_->StartWrite(head);
        }
    }
    return true;
}

bool SerialLink::PurgeReceive() {
    // Under the read lock the head of the read queue is the read outstanding on the port.
    std::lock_guard<std::mutex> guard(readQueue_.lock);
    IoRequest* outstanding =
        readQueue_.requests.empty() ? nullptr : readQueue_.requests.front().get();
    return channel_->PurgeReceive(outstanding);
}

void SerialLink::CompleteHead(Queue& queue, bool isRead, std::uint32_t count) {
    std::lock_guard<std::mutex> guard(queue.lock);
    if (queue.requests.empty()) return;  // discarded meanwhile; nothing to announce
    std::unique_ptr<IoRequest> done = std::move(queue.requests.front());
    queue.requests.pop_front();
    if (trace_ != nullptr) {
        if (isRead) {
            trace_->Received(done->data, count, done->length);
        } else {
            trace_->Sent(done->data, count);
        }
    }
    if (done->noticeMessage != 0 && owner_ != nullptr) {
        owner_->PostNotice(done->noticeMessage, done->length, count);
    }
    done.reset();
    if (!queue.requests.empty()) {
        IoRequest& next = *queue.requests.front();
        if (isRead) {
            channel_->StartRead(next);
        } else {
            channel_->StartWrite(next);
        }
    }
}

void SerialLink::IoThread() {
    for (;;) {
        const PortChannel::Completion completion = channel_->WaitForCompletion();
        using Kind = PortChannel::Completion::Kind;
        if (completion.kind == Kind::Stop) break;
        if (completion.kind == Kind::ReadDone) {
            CompleteHead(readQueue_, true, completion.count);
        } else if (completion.kind == Kind::WriteDone) {
            CompleteHead(writeQueue_, false, completion.count);
        }
    }
    running_.store(0);
}

}  // namespace r512
