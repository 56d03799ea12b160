#include "serial/PortChannelWin32.h"

#include "serial/ComPortName.h"

#include <cstdint>

namespace r512 {

namespace {

// The byte counts of ReadFile and WriteFile land in the request's 32-bit bytes-done field.
static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
// The device-control block is the 28-byte structure of the serial API.
static_assert(sizeof(DCB) == 28);

// Sizes of the driver's input and output queues.
constexpr DWORD kInputQueueSize = 1024;
constexpr DWORD kOutputQueueSize = 1024;

COMMTIMEOUTS ToCommTimeouts(const CommTimeouts& timeouts) {
    COMMTIMEOUTS applied{};
    applied.ReadIntervalTimeout = timeouts.ReadIntervalTimeout;
    applied.ReadTotalTimeoutMultiplier = timeouts.ReadTotalTimeoutMultiplier;
    applied.ReadTotalTimeoutConstant = timeouts.ReadTotalTimeoutConstant;
    applied.WriteTotalTimeoutMultiplier = timeouts.WriteTotalTimeoutMultiplier;
    applied.WriteTotalTimeoutConstant = timeouts.WriteTotalTimeoutConstant;
    return applied;
}

// How a request that did not end with all its bytes may end on a working port: by one of its
// time-outs or by an abort (PurgeComm). Anything else is a failure of the port.
bool IsPortFailure(DWORD error) {
    switch (error) {
        case ERROR_TIMEOUT:
        case ERROR_SEM_TIMEOUT:
        case ERROR_COUNTER_TIMEOUT:
        case WAIT_TIMEOUT:
        case ERROR_OPERATION_ABORTED:
        case ERROR_IO_INCOMPLETE:
            return false;
        default:
            return true;
    }
}

void CloseIfValid(HANDLE& handle) {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
}

// CreateEventA answers NULL on failure; the link keeps INVALID_HANDLE_VALUE for "no event".
HANDLE NewEvent(bool manualReset) {
    HANDLE event = CreateEventA(nullptr, manualReset ? TRUE : FALSE, FALSE, nullptr);
    return event != nullptr ? event : INVALID_HANDLE_VALUE;
}

}  // namespace

std::unique_ptr<PortChannel> PortChannel::CreateForPlatform() {
    return std::make_unique<PortChannelWin32>();
}

PortChannelWin32::PortChannelWin32() { ResetOverlapped(); }

PortChannelWin32::~PortChannelWin32() {
    ReleaseEvents();
    Close();
}

void PortChannelWin32::ResetOverlapped() {
    readOverlapped_ = OVERLAPPED{};
    writeOverlapped_ = OVERLAPPED{};
    readOverlapped_.hEvent = INVALID_HANDLE_VALUE;
    writeOverlapped_.hEvent = INVALID_HANDLE_VALUE;
}

void PortChannelWin32::ApplyLinkFlowControl(DCB& dcb) {
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = FALSE;
}

PortChannel::OpenStatus PortChannelWin32::Open(const char* portName, const char* lineDefinition,
                                               const CommTimeouts& timeouts) {
    // The name goes to the system as the user configured it ("COM1", a device path), except
    // that COM10 and above are reached through the device namespace.
    const std::string path = SystemPortPath(portName);
    HANDLE port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) return OpenStatus::OpenFailed;

    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    COMMTIMEOUTS applied = ToCommTimeouts(timeouts);
    bool configured = SetupComm(port, kInputQueueSize, kOutputQueueSize) &&
                      GetCommState(port, &dcb) && BuildCommDCBA(lineDefinition, &dcb);
    if (configured) {
        // Whatever the definition string says about handshaking, the link uses none: DTR is
        // raised, RTS kept low, and an error never aborts a transfer.
        ApplyLinkFlowControl(dcb);
        configured = SetCommState(port, &dcb) && SetCommTimeouts(port, &applied);
    }
    if (!configured) {
        CloseHandle(port);
        return OpenStatus::ConfigureFailed;
    }

    // Clear whatever error condition the port was left in; the figures are of no interest.
    DWORD errors = 0;
    COMSTAT status{};
    ClearCommError(port, &errors, &status);

    port_ = port;
    portFailed_.store(false);
    return OpenStatus::Opened;
}

void PortChannelWin32::Close() {
    if (port_ != INVALID_HANDLE_VALUE) CloseHandle(port_);
    port_ = INVALID_HANDLE_VALUE;
    // Zero the OVERLAPPED structures for the next open; the events are ReleaseEvents' business.
    const HANDLE readEvent = readOverlapped_.hEvent;
    const HANDLE writeEvent = writeOverlapped_.hEvent;
    readOverlapped_ = OVERLAPPED{};
    writeOverlapped_ = OVERLAPPED{};
    readOverlapped_.hEvent = readEvent;
    writeOverlapped_.hEvent = writeEvent;
}

bool PortChannelWin32::IsOpen() const { return port_ != INVALID_HANDLE_VALUE; }

bool PortChannelWin32::CreateEvents() {
    ReleaseEvents();
    // The stop event is auto-reset: the one wait that sees it consumes it. The completion
    // events are manual-reset, as overlapped I/O needs; the I/O thread resets them itself.
    stopEvent_ = NewEvent(false);
    readOverlapped_.hEvent = NewEvent(true);
    writeOverlapped_.hEvent = NewEvent(true);
    return stopEvent_ != INVALID_HANDLE_VALUE && readOverlapped_.hEvent != INVALID_HANDLE_VALUE &&
           writeOverlapped_.hEvent != INVALID_HANDLE_VALUE;
}

void PortChannelWin32::ReleaseEvents() {
    CloseIfValid(stopEvent_);
    CloseIfValid(readOverlapped_.hEvent);
    CloseIfValid(writeOverlapped_.hEvent);
}

void PortChannelWin32::StartRead(IoRequest& request) {
    // The result is not examined: the completion arrives through the read event. A read that
    // fails at once (a closed or failed port) never signals it and stays at the head of its
    // queue.
    if (portFailed_.load()) return;
    ReadFile(port_, request.data, request.length, reinterpret_cast<DWORD*>(&request.bytesDone),
             &readOverlapped_);
}

void PortChannelWin32::StartWrite(IoRequest& request) {
    if (portFailed_.load()) return;
    WriteFile(port_, request.data, request.length, reinterpret_cast<DWORD*>(&request.bytesDone),
              &writeOverlapped_);
}

PortChannel::Completion PortChannelWin32::WaitForCompletion() {
    using Kind = Completion::Kind;
    // Index order decides what is reported when several are signalled together.
    HANDLE handles[3] = {stopEvent_, readOverlapped_.hEvent, writeOverlapped_.hEvent};
    const DWORD which = WaitForMultipleObjects(3, handles, FALSE, INFINITE);
    if (which == WAIT_OBJECT_0) return {Kind::Stop, 0};
    if (which == WAIT_OBJECT_0 + 1 || which == WAIT_OBJECT_0 + 2) {
        const bool read = which == WAIT_OBJECT_0 + 1;
        OVERLAPPED& overlapped = read ? readOverlapped_ : writeOverlapped_;
        // Whatever ended the request (its bytes, a time-out, an abort, a failure), the count
        // is what was transferred, and the request is reported. A failure of the port only
        // keeps the next requests from being started.
        DWORD count = 0;
        if (!GetOverlappedResult(port_, &overlapped, &count, FALSE) &&
            IsPortFailure(GetLastError()))
            portFailed_.store(true);
        ResetEvent(overlapped.hEvent);
        return {read ? Kind::ReadDone : Kind::WriteDone, static_cast<std::uint32_t>(count)};
    }
    return {Kind::Nothing, 0};
}

void PortChannelWin32::RequestStop() {
    if (stopEvent_ != INVALID_HANDLE_VALUE) SetEvent(stopEvent_);
}

bool PortChannelWin32::PurgeReceive(IoRequest* outstandingRead) {
    // PURGE_RXABORT ends the outstanding read, whichever it is (it completes with what had
    // arrived); PURGE_RXCLEAR drops the input not yet read. Fails when no port is open.
    if (port_ == INVALID_HANDLE_VALUE) return false;
    if (PurgeComm(port_, PURGE_RXABORT | PURGE_RXCLEAR) == FALSE) return false;
    // Not every serial driver (Wine's, for one) aborts the read for PURGE_RXABORT; cancelling
    // it by its OVERLAPPED makes sure it ends now. Where the purge did end it, there is nothing
    // left to cancel. The caller holds the read queue's lock, so no other read can have been
    // started in between.
    if (outstandingRead != nullptr) CancelIoEx(port_, &readOverlapped_);
    return true;
}

}  // namespace r512
