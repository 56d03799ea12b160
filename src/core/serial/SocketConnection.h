#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "serial/SocketPortName.h"

namespace r512 {

// One connected TCP socket and the wake-up signal of the I/O thread that serves it: the platform
// part of the socket port channel (SocketConnectionPosix.cpp, SocketConnectionWin32.cpp). The
// socket is non-blocking; Receive and Send never wait.
//
// Thread use: Connect on the thread that opens the port (the I/O thread, before its loop, when
// the link opens in the background); the destructor, CreateWake and ReleaseWake while no I/O
// thread loop runs; Wake on any thread; Receive, Send, Discard and Wait on the I/O thread.
class SocketConnection {
public:
    // What a transfer did: moved `count` bytes (0: nothing to take, or no room, just now), or
    // found the connection gone (closed by the other end, reset, or failed).
    struct Transfer {
        std::uint32_t count = 0;
        bool lost = false;
    };
    struct WaitResult {
        bool woken = false;  // the wake signal came (it is consumed)
        bool ready = false;  // the socket may have something for what was asked
    };

    virtual ~SocketConnection() = default;

    struct Connected {
        std::unique_ptr<SocketConnection> connection;  // nullptr when the connection failed
        std::string cause;  // then the system's words for why (empty when it came about)
    };
    // Looks the host up and connects to its first address that accepts; the cause of a
    // failure is the name lookup's or the last address's error. The lookup and every attempt
    // together take at most `timeoutMs`, and `*cancelled` turning true (nullptr: never) ends
    // them within a few milliseconds: a dead name server or an address that never answers
    // holds only the calling thread, and only that long.
    [[nodiscard]] static Connected Connect(const SocketAddress& address, int timeoutMs,
                                           const std::atomic<bool>* cancelled = nullptr);

    virtual bool CreateWake() = 0;
    virtual void ReleaseWake() = 0;
    virtual void Wake() = 0;

    virtual Transfer Receive(std::uint8_t* data, std::uint32_t length) = 0;
    virtual Transfer Send(const std::uint8_t* data, std::uint32_t length) = 0;
    // Reads and drops whatever has arrived and not been read.
    virtual void Discard() = 0;

    // Blocks until the wake signal, until the socket is readable (wantRead) or writable
    // (wantWrite) or has failed, or for `timeoutMs` (-1: no limit).
    virtual WaitResult Wait(bool wantRead, bool wantWrite, int timeoutMs) = 0;
};

}  // namespace r512
