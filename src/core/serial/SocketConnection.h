#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "serial/SocketPortName.h"

namespace r512 {

// One connected TCP socket and the wake-up signal of the I/O thread that serves it: the platform
// part of the socket port channel (SocketConnectionPosix.cpp, SocketConnectionWin32.cpp). The
// socket is non-blocking; Receive and Send never wait.
//
// Thread use: Connect, the destructor, CreateWake and ReleaseWake on the user-interface thread
// while no I/O thread runs; Wake on any thread; Receive, Send, Discard and Wait on the I/O
// thread.
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

    // Connects to the address, giving up after `timeoutMs`; nullptr when that fails, with
    // `cause` (if given) set to the system's words for why (the name lookup's or the last
    // address's error).
    static std::unique_ptr<SocketConnection> Connect(const SocketAddress& address, int timeoutMs,
                                                     std::string* cause = nullptr);

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
