#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "base/NoticeTarget.h"
#include "serial/ByteTrace.h"
#include "serial/CommTimeouts.h"
#include "serial/IoRequest.h"
#include "serial/PortChannel.h"

namespace r512 {

// The transport to the device: one serial port, a first-in-first-out queue of reads and one of
// writes, and one I/O thread that waits for the completion of each queue's head, posts its
// notice to the owner and starts the next request. The caller never blocks on the port.
//
// At most one read and one write are outstanding at a time, each the head of its queue; a
// request that is not the head has not been started. Each queue has its own lock; the two are
// never held together.
class SerialLink {
public:
    SerialLink();
    explicit SerialLink(std::unique_ptr<PortChannel> channel);
    virtual ~SerialLink();

    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens and configures the port and starts the I/O thread. On failure shows message 1024
    // (the port can't be opened), 1025 (it can't be configured) or 1026 (the thread can't be
    // started) and returns false, leaving the link closed.
    bool OpenPort(const char* portName, const char* lineDefinition, const CommTimeouts* timeouts,
                  NoticeTarget* owner);

    // Stops the I/O thread, closes the port and discards every queued request without a notice
    // and without touching its bytes. Harmless on a closed link; always returns true.
    bool ClosePort();

    // Queue a request; false only when the request can't be allocated (nothing is queued).
    // A request queued on a closed link stays queued, unsent, until ClosePort.
    bool QueueWrite(const void* data, std::uint32_t length, std::uint32_t noticeMessage);
    bool QueueRead(void* buffer, std::uint32_t length, std::uint32_t noticeMessage);

    // Queues a write whose bytes belong to the request and are freed with it.
    bool QueueOwnedWrite(std::unique_ptr<std::uint8_t[]> bytes, std::uint32_t length,
                         std::uint32_t noticeMessage);

    bool IsOpen() const;

    // Where every byte sent and received goes as its request completes; none (nullptr) by
    // default, which costs one pointer test per completion. Set only while the link is closed.
    // The trace is not owned and must outlive the link's open time.
    void SetTrace(ByteTrace* trace) { trace_ = trace; }

protected:
    // Aborts the outstanding read (its completion still comes, with what had arrived) and
    // discards unread input. False when no port is open.
    bool PurgeReceive();

private:
    struct Queue {
        std::mutex lock;
        std::deque<std::unique_ptr<IoRequest>> requests;
    };

    bool Enqueue(Queue& queue, std::unique_ptr<IoRequest> request, bool isRead);
    void CompleteHead(Queue& queue, bool isRead, std::uint32_t count);
    void IoThread();

    std::unique_ptr<PortChannel> channel_;
    NoticeTarget* owner_ = nullptr;
    ByteTrace* trace_ = nullptr;
    std::atomic<std::uint32_t> running_{0};
    std::thread thread_;
    Queue writeQueue_;
    Queue readQueue_;
};

}  // namespace r512
