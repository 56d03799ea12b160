#include "serial/SerialLink.h"

#include <new>
#include <system_error>
#include <utility>

#include "serial/PortChannelByName.h"

namespace r512 {

SerialLink::SerialLink() : SerialLink(CreatePortChannel()) {}

SerialLink::SerialLink(std::unique_ptr<PortChannel> channel) : channel_(std::move(channel)) {}

SerialLink::~SerialLink() { ClosePort(); }

bool SerialLink::IsOpen() const { return opened_.load() && !failed_.load(); }

SerialLink::OpenResult SerialLink::OpenChannel(const char* portName, const char* lineDefinition,
                                               const CommTimeouts& timeouts) {
    switch (channel_->Open(portName, lineDefinition, timeouts)) {
        case PortChannel::OpenStatus::OpenFailed:
            return OpenResult::OpenFailed;
        case PortChannel::OpenStatus::ConfigureFailed:
            return OpenResult::ConfigureFailed;
        case PortChannel::OpenStatus::Opened:
            break;
    }
    if (!channel_->CreateEvents()) {
        channel_->ReleaseEvents();
        channel_->Close();
        return OpenResult::ThreadFailed;
    }
    return OpenResult::Opened;
}

SerialLink::OpenResult SerialLink::OpenPort(const char* portName, const char* lineDefinition,
                                            const CommTimeouts* timeouts, NoticeTarget* owner) {
    // A second open without a close would leave the first thread running (or, after a
    // failure, the ended thread unjoined and the failed port held).
    if (opened_.load() || thread_.joinable()) ClosePort();

    owner_ = owner;
    channel_->SetOpenCancelled(false);
    const OpenResult result =
        OpenChannel(portName ? portName : "", lineDefinition ? lineDefinition : "",
                    timeouts ? *timeouts : CommTimeouts{});
    if (result != OpenResult::Opened) return result;
    failed_.store(false);
    running_.store(1);
    serving_ = true;
    try {
        thread_ = std::thread(&SerialLink::IoThread, this);
    } catch (const std::system_error&) {
        running_.store(0);
        serving_ = false;
        // Nothing waits on the events: free them with the port.
        channel_->ReleaseEvents();
        channel_->Close();
        return OpenResult::ThreadFailed;
    }
    // Nothing can be queued while the link is closed, so both queues are empty here: no
    // request made before this open goes out on the new port.
    opened_.store(true);
    return OpenResult::Opened;
}

void SerialLink::BeginOpen(const char* portName, const char* lineDefinition,
                           const CommTimeouts* timeouts, NoticeTarget* owner) {
    if (opened_.load() || thread_.joinable()) ClosePort();

    owner_ = owner;
    channel_->SetOpenCancelled(false);
    failed_.store(false);
    running_.store(1);
    opening_ = true;
    try {
        thread_ =
            std::thread(&SerialLink::OpenThenServe, this, std::string(portName ? portName : ""),
                        std::string(lineDefinition ? lineDefinition : ""),
                        timeouts ? *timeouts : CommTimeouts{});
    } catch (const std::system_error&) {
        running_.store(0);
        // Told the same way as any other outcome, so that the owner has one path for it.
        Post(WM_PORT_OPENED, 0, static_cast<std::uint32_t>(OpenResult::ThreadFailed));
    }
}

void SerialLink::OpenThenServe(std::string portName, std::string lineDefinition,
                               CommTimeouts timeouts) {
    const OpenResult result = OpenChannel(portName.c_str(), lineDefinition.c_str(), timeouts);
    {
        std::lock_guard<std::mutex> guard(phaseLock_);
        if (closing_) {
            // The owner has closed the link meanwhile: it waits for this thread and wants no
            // notice of a port it no longer asks for.
            if (result == OpenResult::Opened) {
                channel_->ReleaseEvents();
                channel_->Close();
            }
            running_.store(0);
            return;
        }
        // The link counts as open only once the owner has taken this notice (OpenCompleted):
        // nothing the owner asks for before then goes out on the new port.
        if (result == OpenResult::Opened) serving_ = true;
        Post(WM_PORT_OPENED, 0, static_cast<std::uint32_t>(result));
    }
    if (result != OpenResult::Opened) {
        running_.store(0);
        return;
    }
    IoThread();
}

std::optional<SerialLink::OpenResult> SerialLink::OpenCompleted(std::uint32_t received) {
    if (!AcceptNotice()) return std::nullopt;
    opening_ = false;
    if (received > static_cast<std::uint32_t>(OpenResult::ThreadFailed))
        return OpenResult::ThreadFailed;
    const auto result = static_cast<OpenResult>(received);
    if (result == OpenResult::Opened) opened_.store(true);
    return result;
}

bool SerialLink::ClosePort() {
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> guard(phaseLock_);
            closing_ = true;
            // A thread still opening is told to give up (a connection attempt or a host name
            // lookup would otherwise hold this thread for seconds); one in its loop to stop.
            if (serving_) {
                channel_->RequestStop();
            } else {
                channel_->SetOpenCancelled(true);
            }
        }
        thread_.join();
        closing_ = false;
        serving_ = false;
    }
    opened_.store(false);
    opening_ = false;
    // The thread has left its loop: nothing waits on the events any more.
    channel_->ReleaseEvents();
    channel_->Close();
    failed_.store(false);

    // Every notice posted since the open that the owner has not taken yet is still on its way
    // to it; those are to be dropped when they come.
    const std::uint32_t posted = posted_.exchange(0);
    if (posted > accepted_) stale_ += posted - accepted_;
    accepted_ = 0;

    // Discard what is still queued, reads first, without notices and without touching the
    // callers' bytes.
    readQueue_.requests.clear();
    writeQueue_.requests.clear();
    return true;
}

bool SerialLink::AcceptNotice() {
    if (stale_ > 0) {
        --stale_;
        return false;
    }
    ++accepted_;
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
    // A request made while the port is closed could only go out at some later open, long
    // after it was meant (and one more with every retry): it is dropped instead.
    if (!IsOpen()) return false;
    request->serial = nextSerial_.fetch_add(1);
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
    if (!IsOpen()) return false;
    // Under the read lock the head of the read queue is the read outstanding on the port. It
    // is named by its serial: by the time the channel acts, that read may have completed and
    // its memory gone to the next request.
    std::lock_guard<std::mutex> guard(readQueue_.lock);
    const std::uint64_t outstanding =
        readQueue_.requests.empty() ? 0 : readQueue_.requests.front()->serial;
    if (trace_ != nullptr) trace_->Purged();
    return channel_->PurgeReceive(outstanding);
}

void SerialLink::ReportPortFailure() {
    if (!IsOpen()) return;  // closed or already failed: told once
    failed_.store(true);
    if (trace_ != nullptr) trace_->PortFailed();
    Post(WM_PORT_FAILED, 0, 0);
}

void SerialLink::Post(std::uint32_t message, std::uint32_t requested, std::uint32_t received) {
    if (owner_ == nullptr) return;
    posted_.fetch_add(1);
    owner_->PostNotice(message, requested, received);
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
    if (done->noticeMessage != 0) Post(done->noticeMessage, done->length, count);
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
        if (completion.kind == Kind::Failed) {
            // The port is gone: nothing on it will complete. The link closes itself (nothing
            // more is queued or started) and the owner learns it on its own thread.
            if (!failed_.exchange(true)) {
                if (trace_ != nullptr) trace_->PortFailed();
                Post(WM_PORT_FAILED, 0, 0);
            }
            break;
        }
        if (completion.kind == Kind::ReadDone) {
            CompleteHead(readQueue_, true, completion.count);
        } else if (completion.kind == Kind::WriteDone) {
            CompleteHead(writeQueue_, false, completion.count);
        }
    }
    running_.store(0);
}

}  // namespace r512
