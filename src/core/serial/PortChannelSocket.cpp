#include "serial/PortChannelSocket.h"

#include <limits>
#include <utility>

#include "serial/SocketPortName.h"

namespace r512 {

namespace {

constexpr std::uint32_t kMaxDword = std::numeric_limits<std::uint32_t>::max();

std::chrono::milliseconds Ms(std::uint64_t value) { return std::chrono::milliseconds(value); }

}  // namespace

PortChannelSocket::PortChannelSocket() = default;

PortChannelSocket::~PortChannelSocket() {
    ReleaseEvents();
    Close();
}

PortChannel::OpenStatus PortChannelSocket::Open(const char* portName, const char*,
                                                const CommTimeouts& timeouts) {
    Close();
    openFailure_.clear();
    SocketAddress address;
    if (!ParseSocketPortName(portName != nullptr ? portName : "", address)) {
        openFailure_ = "not socket://HOST:PORT";
        return OpenStatus::OpenFailed;
    }
    SocketConnection::Connected connected =
        SocketConnection::Connect(address, openTimeLimitMs_, &openCancelled_);
    connection_ = std::move(connected.connection);
    if (!connection_) {
        openFailure_ = std::move(connected.cause);
        return OpenStatus::OpenFailed;
    }
    timeouts_ = timeouts;
    lost_.store(false);
    lossReported_ = false;
    return OpenStatus::Opened;
}

void PortChannelSocket::SetOpenTimeLimit(std::chrono::milliseconds limit) {
    const auto ms = limit.count();
    openTimeLimitMs_ = ms < 0                                 ? 0
                       : ms > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                              : static_cast<int>(ms);
}

void PortChannelSocket::Close() {
    eventsReady_ = false;
    connection_.reset();
}

bool PortChannelSocket::IsOpen() const { return connection_ != nullptr; }

bool PortChannelSocket::CreateEvents() {
    if (!connection_ || !connection_->CreateWake()) return false;
    eventsReady_ = true;
    startedRead_.store(nullptr);
    startedWrite_.store(nullptr);
    abortRead_.store(0);
    purgeRequested_.store(false);
    stopRequested_.store(false);
    read_ = Active{};
    write_ = Active{};
    return true;
}

void PortChannelSocket::ReleaseEvents() {
    if (connection_) connection_->ReleaseWake();
    eventsReady_ = false;
    read_ = Active{};
    write_ = Active{};
}

void PortChannelSocket::StartRead(IoRequest& request) {
    // On a closed port the start fails silently: the request stays queued and unsent.
    if (!connection_ || !eventsReady_) return;
    startedRead_.store(&request);
    connection_->Wake();
}

void PortChannelSocket::StartWrite(IoRequest& request) {
    if (!connection_ || !eventsReady_) return;
    startedWrite_.store(&request);
    connection_->Wake();
}

void PortChannelSocket::RequestStop() {
    stopRequested_.store(true);
    if (connection_) connection_->Wake();
}

bool PortChannelSocket::PurgeReceive(std::uint64_t outstandingRead) {
    if (!connection_) return false;
    // Both are done by the I/O thread, before it takes up any request started after this call.
    purgeRequested_.store(true);
    if (outstandingRead != 0) abortRead_.store(outstandingRead);
    connection_->Wake();
    return true;
}

void PortChannelSocket::AdoptStartedRequests(Clock::time_point now) {
    // The requests are taken before the abort and the purge are looked at: an abort or a purge
    // asked for after a request was started then always finds it, and one asked for before a
    // request was started is always carried out before that request is served (the names
    // download purges, then sends its request; its answer must not be thrown away).
    IoRequest* read = startedRead_.exchange(nullptr);
    IoRequest* write = startedWrite_.exchange(nullptr);
    const std::uint64_t abort = abortRead_.exchange(0);
    if (read != nullptr) read_ = Active{read, 0, now, now, read->length == 0};
    if (write != nullptr) write_ = Active{write, 0, now, now, write->length == 0};
    // The read to abort may be the one just taken up; one that has completed meanwhile has
    // another serial than the read now outstanding, which is spared.
    if (abort != 0 && read_.request != nullptr && read_.request->serial == abort)
        read_.finished = true;
    if (purgeRequested_.exchange(false) && !lost_.load()) connection_->Discard();
}

void PortChannelSocket::TransferRead(Clock::time_point now) {
    if (read_.request == nullptr || read_.finished || lost_.load()) return;
    IoRequest& request = *read_.request;
    while (read_.done < request.length) {
        const SocketConnection::Transfer got =
            connection_->Receive(request.data + read_.done, request.length - read_.done);
        if (got.lost) lost_.store(true);
        if (got.count == 0) break;
        read_.done += got.count;
        read_.lastByte = now;
    }
    request.bytesDone = read_.done;
    const bool immediate = timeouts_.ReadIntervalTimeout == kMaxDword &&
                           timeouts_.ReadTotalTimeoutMultiplier == 0 &&
                           timeouts_.ReadTotalTimeoutConstant == 0;
    if (read_.done == request.length || immediate) read_.finished = true;
}

void PortChannelSocket::TransferWrite() {
    if (write_.request == nullptr || write_.finished) return;
    IoRequest& request = *write_.request;
    while (!lost_.load() && write_.done < request.length) {
        const SocketConnection::Transfer sent =
            connection_->Send(request.data + write_.done, request.length - write_.done);
        if (sent.lost) lost_.store(true);
        if (sent.count == 0) break;
        write_.done += sent.count;
    }
    request.bytesDone = write_.done;
    // A write on a lost connection ends at once with what went out.
    if (write_.done == request.length || lost_.load()) write_.finished = true;
}

PortChannelSocket::Clock::time_point PortChannelSocket::ReadDeadline() const {
    Clock::time_point deadline = Clock::time_point::max();
    if (read_.request == nullptr || read_.finished) return deadline;
    const std::uint64_t total =
        std::uint64_t{timeouts_.ReadTotalTimeoutMultiplier} * read_.request->length +
        timeouts_.ReadTotalTimeoutConstant;
    if (total > 0) deadline = read_.started + Ms(total);
    const std::uint32_t interval = timeouts_.ReadIntervalTimeout;
    if (interval > 0 && interval != kMaxDword && read_.done > 0 &&
        read_.lastByte + Ms(interval) < deadline)
        deadline = read_.lastByte + Ms(interval);
    return deadline;
}

PortChannelSocket::Clock::time_point PortChannelSocket::WriteDeadline() const {
    if (write_.request == nullptr || write_.finished) return Clock::time_point::max();
    const std::uint64_t total =
        std::uint64_t{timeouts_.WriteTotalTimeoutMultiplier} * write_.request->length +
        timeouts_.WriteTotalTimeoutConstant;
    return total > 0 ? write_.started + Ms(total) : Clock::time_point::max();
}

void PortChannelSocket::ApplyTimeouts(Clock::time_point now) {
    if (now >= ReadDeadline()) read_.finished = true;
    if (now >= WriteDeadline()) write_.finished = true;
}

int PortChannelSocket::WaitTimeoutMs(Clock::time_point now) const {
    const Clock::time_point earliest = std::min(ReadDeadline(), WriteDeadline());
    if (earliest == Clock::time_point::max()) return -1;
    if (earliest <= now) return 0;
    // Round up, so that the wake-up never comes before the deadline and spins.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(earliest - now).count();
    return wait > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                  : static_cast<int>(wait);
}

PortChannel::Completion PortChannelSocket::WaitForCompletion() {
    using Kind = Completion::Kind;
    for (;;) {
        if (stopRequested_.exchange(false)) return {Kind::Stop, 0};

        const Clock::time_point now = Clock::now();
        AdoptStartedRequests(now);
        TransferRead(now);
        TransferWrite();
        // The connection has gone: nothing on it completes any more. Told once.
        if (lost_.load() && !lossReported_) {
            lossReported_ = true;
            return {Kind::Failed, 0};
        }
        ApplyTimeouts(now);

        // A read completion is reported before a write completion that is due with it.
        if (read_.request != nullptr && read_.finished) {
            const std::uint32_t count = read_.done;
            read_ = Active{};
            return {Kind::ReadDone, count};
        }
        if (write_.request != nullptr && write_.finished) {
            const std::uint32_t count = write_.done;
            write_ = Active{};
            return {Kind::WriteDone, count};
        }

        // A lost connection is no longer watched: only the wake-up and the time-outs remain.
        const bool watch = !lost_.load();
        connection_->Wait(watch && read_.request != nullptr, watch && write_.request != nullptr,
                          WaitTimeoutMs(now));
    }
}

}  // namespace r512
