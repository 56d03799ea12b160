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
    std::string error;
    if (!link.TraceTo(path, &error)) std::fprintf(stderr, "R512_TRACE: %s\n", error.c_str());
}

}  // namespace

DeviceLink::DeviceLink() { TraceFromEnvironment(*this); }

DeviceLink::DeviceLink(std::unique_ptr<PortChannel> channel) : SerialLink(std::move(channel)) {
    TraceFromEnvironment(*this);
}

bool DeviceLink::TraceTo(const std::string& path, std::string* error) {
    if (IsOpen()) {
        if (error) *error = "the trace can only start while the port is closed";
        return false;
    }
    std::unique_ptr<ProtocolTrace> trace = ProtocolTrace::Open(path, error);
    if (!trace) return false;
    SetTrace(trace.get());
    trace_ = std::move(trace);
    return true;
}

// The port is closed (and the I/O thread ended) before the window and image go away.
DeviceLink::~DeviceLink() { ClosePort(); }

bool DeviceLink::OpenPort(const char* portName, const char* lineDefinition, NoticeTarget* owner) {
    if (trace_) {
        trace_->Note(std::string("open ") + (portName ? portName : "") + " (" +
                     (lineDefinition ? lineDefinition : "") + ")");
    }
    if (!SerialLink::OpenPort(portName, lineDefinition, &kTimeouts, owner)) return false;
    return QueueWindowRead(3);
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
    return SendCommand(Cmd::Refresh);
}

bool DeviceLink::QueueWindowRead(std::uint32_t length) {
    // Every read lands in the window's tail: the last `length` bytes.
    return QueueRead(receiveWindow_.data() + (receiveWindow_.size() - length), length,
                     WM_DEVICE_DATA);
}

RegisterFrame DeviceLink::ProcessReceived(std::uint32_t requested, std::uint32_t received) {
    if (namesPending_) {
        if (requested == NamesLayout::ImageSize) {
            // The names download has completed: ordinary reading resumes.
            namesPending_ = false;
            QueueWindowRead(3);
        }
        // Otherwise this is the ordinary read that the download aborted: dropped.
        return {};
    }

    auto& w = receiveWindow_;
    std::uint32_t shift = 0;
    if (requested < 1 || requested > 3 || received > requested) {
        // No read of this link asks for that: start again with an empty window rather than
        // trust the figures.
        shift = 3;
    } else {
        const std::uint32_t missing = requested - received;
        if (w[0] == kFillerFirst && w[1] == kFrameEnd && missing <= 1) {
            shift = 2;  // the two-byte filler unit; its successor, if it came, stays
        } else if (missing > 0) {
            shift = missing;  // the read ended early: slide over the bytes that never came
        } else if (w[2] == kFrameEnd) {
            // A frame. Copy it out before the next read refills the window.
            const RegisterFrame frame{w[0], w[1], w[2]};
            QueueWindowRead(3);
            if (IsRegisterCode(frame.code)) mirror_.ApplyReport(frame.code, frame.value);
            return frame;
        } else {
            shift = 1;  // out of step: drop one byte and look again
        }
    }

    for (std::uint32_t i = 0; i < shift; ++i) {
        w[0] = w[1];
        w[1] = w[2];
        w[2] = 0;
    }
    QueueWindowRead(shift);
    return {};
}

}  // namespace r512
