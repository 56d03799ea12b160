// The socket port channel's platform part on Windows: a non-blocking Winsock socket whose
// network events signal an event object (WSAEventSelect), and an auto-reset event that wakes
// the I/O thread; the thread waits on both with WaitForMultipleObjects.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>

#include "serial/BoundedCall.h"
#include "serial/SocketConnection.h"
#include "serial/SystemErrorTextWin32.h"

namespace r512 {

namespace {

// Winsock is started once for the process and left running until it ends.
bool WinsockReady() {
    static const bool ready = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

bool WouldBlock() {
    const int error = WSAGetLastError();
    return error == WSAEWOULDBLOCK || error == WSAEINTR || error == WSAEINPROGRESS;
}

class SocketConnectionWin32 final : public SocketConnection {
public:
    SocketConnectionWin32(SOCKET socket, HANDLE networkEvent)
        : socket_(socket), networkEvent_(networkEvent) {}
    ~SocketConnectionWin32() override {
        ReleaseWake();
        closesocket(socket_);
        CloseHandle(networkEvent_);
    }

    bool CreateWake() override {
        ReleaseWake();
        wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        return wake_ != nullptr;
    }

    void ReleaseWake() override {
        if (wake_ != nullptr) CloseHandle(wake_);
        wake_ = nullptr;
    }

    void Wake() override {
        if (wake_ != nullptr) SetEvent(wake_);
    }

    Transfer Receive(std::uint8_t* data, std::uint32_t length) override {
        const int n = recv(socket_, reinterpret_cast<char*>(data), static_cast<int>(length), 0);
        if (n > 0) return {static_cast<std::uint32_t>(n), false};
        if (n == 0) return {0, length > 0};  // the other end has closed
        return {0, !WouldBlock()};
    }

    Transfer Send(const std::uint8_t* data, std::uint32_t length) override {
        const int n =
            send(socket_, reinterpret_cast<const char*>(data), static_cast<int>(length), 0);
        if (n >= 0) return {static_cast<std::uint32_t>(n), false};
        return {0, !WouldBlock()};
    }

    void Discard() override {
        char buffer[256];
        while (recv(socket_, buffer, sizeof buffer, 0) > 0) {
        }
    }

    WaitResult Wait(bool wantRead, bool wantWrite, int timeoutMs) override {
        // The network event is always watched: it reports what has happened since the last
        // look (data, room to send, a close), and the caller simply tries again.
        HANDLE handles[2] = {wake_, networkEvent_};
        const DWORD which = WaitForMultipleObjects(
            2, handles, FALSE, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
        WaitResult result;
        if (which == WAIT_OBJECT_0) result.woken = true;
        if (which == WAIT_OBJECT_0 + 1) {
            WSANETWORKEVENTS events{};
            WSAEnumNetworkEvents(socket_, networkEvent_, &events);  // resets the event
            result.ready = (wantRead && (events.lNetworkEvents & (FD_READ | FD_CLOSE))) ||
                           (wantWrite && (events.lNetworkEvents & (FD_WRITE | FD_CLOSE)));
        }
        return result;
    }

private:
    SOCKET socket_;
    HANDLE networkEvent_;
    HANDLE wake_ = nullptr;
};

using Clock = std::chrono::steady_clock;

bool Cancelled(const std::atomic<bool>* cancelled) {
    return cancelled != nullptr && cancelled->load();
}

// Waits for a non-blocking connect to end, until `deadline` or a cancel: 0 when it succeeded,
// else the Winsock error (WSAETIMEDOUT at the deadline, WSAECONNABORTED on a cancel). The wait
// is cut into short slices so that a cancel is seen soon.
int FinishConnect(SOCKET socket, Clock::time_point deadline, const std::atomic<bool>* cancelled) {
    for (;;) {
        if (Cancelled(cancelled)) return WSAECONNABORTED;
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return WSAETIMEDOUT;
        const auto slice = std::chrono::ceil<std::chrono::microseconds>(
            std::min<Clock::duration>(deadline - now, kCancelPollPeriod));
        fd_set writable;
        fd_set failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(socket, &writable);
        FD_SET(socket, &failed);
        timeval limit{0, static_cast<long>(slice.count())};
        const int ready = select(0, nullptr, &writable, &failed, &limit);
        if (ready < 0) return WSAGetLastError();
        if (ready == 0) continue;
        if (FD_ISSET(socket, &writable) && !FD_ISSET(socket, &failed)) return 0;
        int error = 0;
        int size = sizeof error;
        getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
        return error != 0 ? error : WSAECONNREFUSED;
    }
}

struct Lookup {
    int error = WSAHOST_NOT_FOUND;
    addrinfo* found = nullptr;
};

}  // namespace

SocketConnection::Connected SocketConnection::Connect(const SocketAddress& address, int timeoutMs,
                                                      const std::atomic<bool>* cancelled) {
    auto failed = [](int error) -> Connected {
        return {nullptr, SystemErrorText(static_cast<DWORD>(error))};
    };
    if (!WinsockReady()) return failed(WSASYSNOTREADY);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const std::optional<Lookup> lookup = CallWithin<Lookup>(
        [host = address.host, port = address.port] {
            addrinfo hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            Lookup result;
            result.error = getaddrinfo(host.c_str(), port.c_str(), &hints, &result.found);
            return result;
        },
        [](Lookup& late) {
            if (late.error == 0) freeaddrinfo(late.found);
        },
        deadline, cancelled);
    if (!lookup) return failed(Cancelled(cancelled) ? WSAECONNABORTED : WSAETIMEDOUT);
    if (lookup->error != 0) return failed(lookup->error);
    addrinfo* const found = lookup->found;
    SOCKET connected = INVALID_SOCKET;
    int lastError = 0;
    for (addrinfo* candidate = found; candidate != nullptr && connected == INVALID_SOCKET;
         candidate = candidate->ai_next) {
        SOCKET socket_ =
            socket(candidate->ai_family, candidate->ai_socktype, candidate->ai_protocol);
        if (socket_ == INVALID_SOCKET) {
            lastError = WSAGetLastError();
            continue;
        }
        u_long nonBlocking = 1;
        ioctlsocket(socket_, FIONBIO, &nonBlocking);
        const int result =
            connect(socket_, candidate->ai_addr, static_cast<int>(candidate->ai_addrlen));
        lastError = result == 0    ? 0
                    : WouldBlock() ? FinishConnect(socket_, deadline, cancelled)
                                   : WSAGetLastError();
        if (lastError == 0) {
            connected = socket_;
        } else {
            closesocket(socket_);
        }
    }
    freeaddrinfo(found);
    if (connected == INVALID_SOCKET) return failed(lastError != 0 ? lastError : WSAEADDRNOTAVAIL);

    // Frames are a few bytes each and must not wait for more to fill a segment.
    const BOOL on = TRUE;
    setsockopt(connected, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    HANDLE networkEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (networkEvent == nullptr ||
        WSAEventSelect(connected, networkEvent, FD_READ | FD_WRITE | FD_CLOSE) != 0) {
        if (networkEvent != nullptr) CloseHandle(networkEvent);
        closesocket(connected);
        return {};
    }
    return {std::make_unique<SocketConnectionWin32>(connected, networkEvent), {}};
}

}  // namespace r512
