#include "serial/PortChannelWin32.h"
#include "serial/SystemErrorTextWin32.h"

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

// CreateEventA answers NULL on failure; UniqueHandle keeps that as "no event".
UniqueHandle NewEvent(bool manualReset) {
    return UniqueHandle(CreateEventA(nullptr, manualReset ? TRUE : FALSE, FALSE, nullptr));
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
    readOverlapped_.hEvent = readEvent_.Get();
    writeOverlapped_.hEvent = writeEvent_.Get();
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
    openFailure_.clear();
    UniqueHandle opened(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!opened) {
        openFailure_ = SystemErrorText(GetLastError());
        return OpenStatus::OpenFailed;
    }
    const HANDLE port = opened.Get();

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
        openFailure_ = SystemErrorText(GetLastError());
        return OpenStatus::ConfigureFailed;
    }

    // Clear whatever error condition the port was left in; the figures are of no interest.
    DWORD errors = 0;
    COMSTAT status{};
    ClearCommError(port, &errors, &status);

    port_ = std::move(opened);
    portFailed_.store(false);
    failedAtStart_.store(false);
    readInFlight_.store(0);
    return OpenStatus::Opened;
}

void PortChannelWin32::Close() {
    port_.Reset();
    // Zero the OVERLAPPED structures for the next open; the events are ReleaseEvents' business.
    ResetOverlapped();
}

bool PortChannelWin32::IsOpen() const { return port_.Valid(); }

bool PortChannelWin32::CreateEvents() {
    ReleaseEvents();
    // The stop event is auto-reset: the one wait that sees it consumes it. The completion
    // events are manual-reset, as overlapped I/O needs; the I/O thread resets them itself.
    stopEvent_ = NewEvent(false);
    readEvent_ = NewEvent(true);
    writeEvent_ = NewEvent(true);
    ResetOverlapped();
    return stopEvent_.Valid() && readEvent_.Valid() && writeEvent_.Valid();
}

void PortChannelWin32::ReleaseEvents() {
    stopEvent_.Reset();
    readEvent_.Reset();
    writeEvent_.Reset();
    ResetOverlapped();
}

void PortChannelWin32::StartFailed(HANDLE completionEvent) {
    portFailed_.store(true);
    failedAtStart_.store(true);
    SetEvent(completionEvent);
}

void PortChannelWin32::StartRead(IoRequest& request) {
    // The completion arrives through the read event. A read on a closed or failed port never
    // signals it and stays at the head of its queue; one that fails at once because the port
    // has gone is reported as the port's failure.
    if (portFailed_.load()) return;
    readInFlight_.store(request.serial);
    if (!ReadFile(port_.Get(), request.data, request.length,
                  reinterpret_cast<DWORD*>(&request.bytesDone), &readOverlapped_)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING && port_.Valid() && IsPortFailure(error))
            StartFailed(readEvent_.Get());
    }
}

void PortChannelWin32::StartWrite(IoRequest& request) {
    if (portFailed_.load()) return;
    if (!WriteFile(port_.Get(), request.data, request.length,
                   reinterpret_cast<DWORD*>(&request.bytesDone), &writeOverlapped_)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING && port_.Valid() && IsPortFailure(error))
            StartFailed(writeEvent_.Get());
    }
}

PortChannel::Completion PortChannelWin32::WaitForCompletion() {
    using Kind = Completion::Kind;
    // Index order decides what is reported when several are signalled together.
    HANDLE handles[3] = {stopEvent_.Get(), readEvent_.Get(), writeEvent_.Get()};
    const DWORD which = WaitForMultipleObjects(3, handles, FALSE, INFINITE);
    if (which == WAIT_OBJECT_0) return {Kind::Stop, 0};
    if (which == WAIT_OBJECT_0 + 1 || which == WAIT_OBJECT_0 + 2) {
        const bool read = which == WAIT_OBJECT_0 + 1;
        OVERLAPPED& overlapped = read ? readOverlapped_ : writeOverlapped_;
        if (failedAtStart_.exchange(false)) {
            ResetEvent(overlapped.hEvent);
            return {Kind::Failed, 0};
        }
        // Whatever ended the request (its bytes, a time-out, an abort), the count is what was
        // transferred, and the request is reported; a failure of the port ends the link.
        DWORD count = 0;
        const bool ended = GetOverlappedResult(port_.Get(), &overlapped, &count, FALSE) != FALSE;
        const DWORD error = ended ? ERROR_SUCCESS : GetLastError();
        ResetEvent(overlapped.hEvent);
        if (read) readInFlight_.store(0);
        if (!ended && IsPortFailure(error)) {
            portFailed_.store(true);
            return {Kind::Failed, 0};
        }
        if (read) {
            // A read may have ended (short, by a time-out) because the device went away: some
            // drivers end reads so then. The port's error state tells.
            DWORD errors = 0;
            COMSTAT status{};
            if (ClearCommError(port_.Get(), &errors, &status) == FALSE &&
                IsPortFailure(GetLastError())) {
                portFailed_.store(true);
                return {Kind::Failed, 0};
            }
        }
        return {read ? Kind::ReadDone : Kind::WriteDone, static_cast<std::uint32_t>(count)};
    }
    return {Kind::Nothing, 0};
}

void PortChannelWin32::RequestStop() {
    if (stopEvent_) SetEvent(stopEvent_.Get());
}

bool PortChannelWin32::PurgeReceive(std::uint64_t outstandingRead) {
    // PURGE_RXABORT ends the outstanding read, whichever it is (it completes with what had
    // arrived); PURGE_RXCLEAR drops the input not yet read. Fails when no port is open.
    if (!port_) return false;
    if (PurgeComm(port_.Get(), PURGE_RXABORT | PURGE_RXCLEAR) == FALSE) return false;
    // Not every serial driver (Wine's, for one) aborts the read for PURGE_RXABORT; cancelling
    // it by its OVERLAPPED makes sure it ends now, but only while the read in flight is still
    // the one meant: one that completed meanwhile has gone, and the caller holds the read
    // queue's lock, so no other read can have been started in its place.
    if (outstandingRead != 0 && readInFlight_.load() == outstandingRead)
        CancelIoEx(port_.Get(), &readOverlapped_);
    return true;
}

}  // namespace r512
