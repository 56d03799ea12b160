#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "base/NoticeTarget.h"
#include "serial/ByteTrace.h"
#include "serial/CommTimeouts.h"
#include "serial/IoRequest.h"
#include "serial/PortChannel.h"

namespace r512 {

// The notice a link posts to its owner when its port has failed (the line hung up, the adapter
// was pulled out, the device node went) and the link has closed itself; requested and received
// are 0.
constexpr std::uint32_t WM_PORT_FAILED = 1125;  // WM_USER + 101
// The notice a link posts to its owner when an open begun by BeginOpen has ended: requested is
// 0, received the SerialLink::OpenResult.
constexpr std::uint32_t WM_PORT_OPENED = 1126;  // WM_USER + 102

// The transport to the device: one serial port, a first-in-first-out queue of reads and one of
// writes, and one I/O thread that waits for the completion of each queue's head, posts its
// notice to the owner and starts the next request. The caller never blocks on the port.
//
// At most one read and one write are outstanding at a time, each the head of its queue; a
// request that is not the head has not been started. Each queue has its own lock; the two are
// never held together.
//
// When the port fails, the I/O thread stops: the link counts as closed from then on (IsOpen is
// false, nothing more is queued) and WM_PORT_FAILED tells the owner, on its own thread, which
// then calls ClosePort to release the port and may open it again later.
//
// Opening in the background: opening a port can take seconds (a network bridge's host name
// lookup and connection), so a window opens it with BeginOpen, which returns at once; the I/O
// thread opens the port, posts WM_PORT_OPENED and, when it opened, goes on into its loop. The
// owner hands that notice to OpenCompleted on its own thread and only then uses the link.
// ClosePort during the open cuts it short within a few milliseconds. OpenPort opens on the
// calling thread, for programs that have nothing else to do meanwhile.
//
// Notices and reopening: the owner may still hold notices of a port when it closes and opens
// the link again. Every notice the owner takes from the link goes through AcceptNotice once, in
// the order they were posted; it answers false for those posted before the last ClosePort.
class SerialLink {
public:
    enum class OpenResult { Opened, OpenFailed, ConfigureFailed, ThreadFailed };

    SerialLink();
    explicit SerialLink(std::unique_ptr<PortChannel> channel);
    virtual ~SerialLink();

    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens and configures the port and starts the I/O thread, on the calling thread. On failure
    // (the port can't be opened, it can't be configured, or the thread can't be started) the
    // link is left closed; the result says which, and the owner decides what to tell.
    [[nodiscard]] OpenResult OpenPort(const char* portName, const char* lineDefinition,
                                      const CommTimeouts* timeouts, NoticeTarget* owner);

    // Starts opening the port on the I/O thread and returns at once. The
    // outcome comes as WM_PORT_OPENED to the owner (also when the thread can't be started).
    // Closes the link first if it is open or opening.
    void BeginOpen(const char* portName, const char* lineDefinition, const CommTimeouts* timeouts,
                   NoticeTarget* owner);
    // The WM_PORT_OPENED notice (its received value), on the owner's thread, once: the outcome
    // of the open; empty for a notice of an open that a ClosePort has ended since, to be
    // dropped. The link is open (and requests can be queued) from here when it says Opened.
    [[nodiscard]] std::optional<OpenResult> OpenCompleted(std::uint32_t received);
    // An open begun by BeginOpen whose outcome the owner has not yet taken.
    bool Opening() const { return opening_; }

    // Bounds how long an open may wait for a port that answers slowly (a network connection,
    // the host name lookup included). Only while the link is closed.
    void SetOpenTimeLimit(std::chrono::milliseconds limit) { channel_->SetOpenTimeLimit(limit); }

    // Stops the I/O thread (or cuts short an open in progress), closes the port and discards every
    // queued request without a notice and without touching its bytes. Harmless on a closed link;
    // always returns true.
    bool ClosePort();

    // Queue a request; false when the link is closed (or has failed) or the request can't be
    // allocated, and then nothing is queued: a request made while the link is closed is
    // dropped, never sent at a later open.
    [[nodiscard]] bool QueueWrite(const void* data, std::uint32_t length,
                                  std::uint32_t noticeMessage);
    [[nodiscard]] bool QueueRead(void* buffer, std::uint32_t length, std::uint32_t noticeMessage);

    // Queues a write whose bytes belong to the request and are freed with it.
    [[nodiscard]] bool QueueOwnedWrite(std::unique_ptr<std::uint8_t[]> bytes, std::uint32_t length,
                                       std::uint32_t noticeMessage);

    // Open and not failed.
    bool IsOpen() const;
    // The port failed while open and the link has not been closed or opened since.
    bool PortFailed() const { return failed_.load(); }

    // To be called on the owner's thread for every notice of this link, once, in the order
    // they come. False for a notice that was posted before the link was last closed: it
    // speaks of a port that is no more and must be dropped.
    [[nodiscard]] bool AcceptNotice();

    // Where every byte sent and received goes as its request completes; none (nullptr) by
    // default, which costs one pointer test per completion. Set only while the link is closed.
    // The trace is not owned and must outlive the link's open time.
    void SetTrace(ByteTrace* trace) { trace_ = trace; }

protected:
    // Aborts the outstanding read (its completion still comes, with what had arrived) and
    // discards unread input. False when no port is open.
    [[nodiscard]] bool PurgeReceive();

    // For a user of the link that finds the port dead where the channel could not tell (a
    // read that never ends): the link counts as failed and WM_PORT_FAILED is posted, as if
    // the I/O thread had found it. Called on the owner's thread.
    void ReportPortFailure();

private:
    struct Queue {
        std::mutex lock;
        std::deque<std::unique_ptr<IoRequest>> requests;
    };

    OpenResult OpenChannel(const char* portName, const char* lineDefinition,
                           const CommTimeouts& timeouts);
    void OpenThenServe(std::string portName, std::string lineDefinition, CommTimeouts timeouts);
    bool Enqueue(Queue& queue, std::unique_ptr<IoRequest> request, bool isRead);
    void CompleteHead(Queue& queue, bool isRead, std::uint32_t count);
    void Post(std::uint32_t message, std::uint32_t requested, std::uint32_t received);
    void IoThread();

    std::unique_ptr<PortChannel> channel_;
    NoticeTarget* owner_ = nullptr;
    ByteTrace* trace_ = nullptr;
    std::atomic<std::uint32_t> running_{0};
    // The port is open and the I/O thread serves it: set by OpenPort, or by OpenCompleted
    // for an open in the background; the owner's thread's to write.
    std::atomic<bool> opened_{false};
    std::atomic<bool> failed_{false};
    // Between the opening I/O thread and ClosePort: whether the thread has gone into its loop
    // (a stop is then asked for with RequestStop) and whether a close has begun (an open that
    // ends then keeps quiet and releases the port itself).
    std::mutex phaseLock_;
    bool serving_ = false;
    bool closing_ = false;
    bool opening_ = false;  // the owner's thread's
    std::atomic<std::uint64_t> nextSerial_{1};
    // Notices posted since the last open (by either thread), notices the owner accepted since
    // then, and notices of earlier opens that the owner has yet to drop. The last two are the
    // owner's thread's alone.
    std::atomic<std::uint32_t> posted_{0};
    std::uint32_t accepted_ = 0;
    std::uint32_t stale_ = 0;
    std::thread thread_;
    Queue writeQueue_;
    Queue readQueue_;
};

}  // namespace r512
