#include "device/DeviceLink.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <utility>

#include "device/ProtocolTrace.h"

namespace r512 {

namespace {

// The trace that the environment asks for; a file that can't be opened is said once on
// standard error and the link runs untraced.
void TraceFromEnvironment(DeviceLink& link) {
    const char* path = std::getenv("R512_TRACE");
    if (path == nullptr || *path == '\0') return;
    ProtocolTrace::Opened opened = ProtocolTrace::Open(path);
    if (!opened.trace) {
        std::fprintf(stderr, "R512_TRACE: %s: %s\n", path, opened.error.message().c_str());
        return;
    }
    // A link being made has no port open yet: the trace is always taken.
    (void)link.TraceInto(std::move(opened.trace));
}

}  // namespace

DeviceLink::DeviceLink() { TraceFromEnvironment(*this); }

DeviceLink::DeviceLink(std::unique_ptr<PortChannel> channel) : SerialLink(std::move(channel)) {
    TraceFromEnvironment(*this);
}

bool DeviceLink::TraceTo(const std::string& path) {
    if (IsOpen()) return false;
    ProtocolTrace::Opened opened = ProtocolTrace::Open(path);
    return opened.trace != nullptr && TraceInto(std::move(opened.trace));
}

bool DeviceLink::TraceInto(std::unique_ptr<ProtocolTrace> trace) {
    if (IsOpen()) return false;
    SetTrace(trace.get());
    trace_ = std::move(trace);
    return true;
}

// The port is closed (and the I/O thread ended) before the window and image go away.
DeviceLink::~DeviceLink() { ClosePort(); }

SerialLink::OpenResult DeviceLink::OpenPort(const char* portName, const char* lineDefinition,
                                            NoticeTarget* owner) {
    const std::string what =
        std::string(portName ? portName : "") + " (" + (lineDefinition ? lineDefinition : "") + ")";
    if (trace_) trace_->NoteAndReset("open " + what);
    const OpenResult result = SerialLink::OpenPort(portName, lineDefinition, &kTimeouts, owner);
    if (result != OpenResult::Opened) {
        if (trace_) trace_->Note("open failed");
        return result;
    }
    reopenFailedNoted_ = false;
    windowFilled_ = 0;
    // As in OpenCompleted: an open link that can't read would never hear the device.
    if (!QueueWindowRead()) {
        ClosePort();
        return OpenResult::ThreadFailed;
    }
    return OpenResult::Opened;
}

bool DeviceLink::ReopenPort(const char* portName, const char* lineDefinition, NoticeTarget* owner) {
    const OpenResult result = SerialLink::OpenPort(portName, lineDefinition, &kTimeouts, owner);
    if (result != OpenResult::Opened) {
        // Told once for a run of failed attempts (the retry tries every 2 s).
        if (trace_ && !reopenFailedNoted_)
            trace_->Note(std::string("reopen ") + (portName ? portName : "") + " failed");
        reopenFailedNoted_ = true;
        return false;
    }
    if (trace_) trace_->NoteAndReset(std::string("reopen ") + (portName ? portName : ""));
    reopenFailedNoted_ = false;
    windowFilled_ = 0;
    return QueueWindowRead();
}

void DeviceLink::BeginOpen(const char* portName, const char* lineDefinition, NoticeTarget* owner) {
    if (trace_) {
        trace_->Note(std::string("open ") + (portName ? portName : "") + " (" +
                     (lineDefinition ? lineDefinition : "") + ")");
    }
    SerialLink::BeginOpen(portName, lineDefinition, &kTimeouts, owner);
}

void DeviceLink::BeginReopen(const char* portName, const char* lineDefinition,
                             NoticeTarget* owner) {
    SerialLink::BeginOpen(portName, lineDefinition, &kTimeouts, owner);
}

std::optional<SerialLink::OpenResult> DeviceLink::OpenCompleted(std::uint32_t received) {
    std::optional<OpenResult> result = SerialLink::OpenCompleted(received);
    if (result != OpenResult::Opened) return result;
    windowFilled_ = 0;
    // An open link that can't read would never hear the device: closed, as a failed start.
    if (!QueueWindowRead()) {
        ClosePort();
        return OpenResult::ThreadFailed;
    }
    return result;
}

bool DeviceLink::SendCommand(std::uint8_t code) {
    // Nothing goes out while the names download is outstanding: the device's answer would land
    // in the names image and shift the rest of it. (The window is disabled meanwhile; only its
    // timers, such as the refresh retry, could ask.)
    if (namesPending_) return false;
    const CommandFrame frame = MakeCommandFrame(code);
    std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[frame.size()]);
    if (!bytes) return false;
    std::copy(frame.begin(), frame.end(), bytes.get());
    return QueueOwnedWrite(std::move(bytes), static_cast<std::uint32_t>(frame.size()), 0);
}

bool DeviceLink::RequestRefresh() {
    mirror_.MarkAllPending();
    return SendCommand(cmd::kRefresh);
}

bool DeviceLink::QueueWindowRead() {
    // Every read asks for the rest of the window: its bytes land right after those that have
    // come already.
    return QueueRead(receiveWindow_.data() + windowFilled_,
                     static_cast<std::uint32_t>(receiveWindow_.size()) - windowFilled_,
                     WM_DEVICE_DATA);
}

void DeviceLink::DropFromWindow(std::uint32_t count) {
    auto& w = receiveWindow_;
    std::copy(w.begin() + count, w.begin() + windowFilled_, w.begin());
    windowFilled_ -= count;
    std::fill(w.begin() + windowFilled_, w.end(), std::uint8_t{0});
}

RegisterFrame DeviceLink::ProcessReceived(std::uint32_t requested, std::uint32_t received) {
    // A notice of a port that has been closed since: its read is gone, and what it brought
    // was never in this window.
    if (!AcceptNotice()) return {};

    if (namesPending_) {
        if (requested == names_download::kReadSize) {
            // The names download has completed: ordinary reading resumes, with an empty window
            // (the purge before the download threw away whatever the window was waiting for).
            namesPending_ = false;
            downloadReceived_ = std::min(received, requested);
            windowFilled_ = 0;
            static_cast<void>(QueueWindowRead());  // failing, nothing is received until reopened
        }
        // Otherwise this is the ordinary read that the download aborted: dropped.
        return {};
    }

    const std::uint32_t asked = static_cast<std::uint32_t>(receiveWindow_.size()) - windowFilled_;
    if (requested != asked || received > requested) {
        // No read of this link asks for that: start again with an empty window rather than
        // trust the figures.
        windowFilled_ = 0;
        static_cast<void>(QueueWindowRead());  // failing, nothing is received until reopened
        return {};
    }
    windowFilled_ += received;

    auto& w = receiveWindow_;
    for (;;) {
        if (windowFilled_ >= 2 && w[0] == kFillerFirst && w[1] == kFrameEnd) {
            DropFromWindow(2);  // the two-byte filler unit
            continue;
        }
        if (windowFilled_ < 3) break;  // wait for the rest
        if (w[2] == kFrameEnd) {
            // A frame. Copy it out before the next read refills the window.
            const RegisterFrame frame{w[0], w[1], w[2]};
            DropFromWindow(3);
            static_cast<void>(QueueWindowRead());  // failing, nothing is received until reopened
            if (IsRegisterCode(frame.code)) mirror_.ApplyReport(frame.code, frame.value);
            return frame;
        }
        DropFromWindow(1);  // out of step: drop one byte and look again
    }
    static_cast<void>(QueueWindowRead());  // failing, nothing is received until reopened
    return {};
}

}  // namespace r512
