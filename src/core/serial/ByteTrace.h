#pragma once

#include <cstdint>

namespace r512 {

// Receives every byte the link has sent or received, as each request completes: a protocol
// trace for finding out what went wrong on the wire. Sent and Received are called on the
// link's I/O thread only, one call at a time; PortFailed on the I/O thread or the owner's;
// Purged on the owner's thread. An implementation must not call back into the link.
class ByteTrace {
public:
    virtual ~ByteTrace() = default;
    // A write has completed: `count` of its bytes went out.
    virtual void Sent(const std::uint8_t* bytes, std::uint32_t count) = 0;
    // A read of `requested` bytes has completed with `count` bytes.
    virtual void Received(const std::uint8_t* bytes, std::uint32_t count,
                          std::uint32_t requested) = 0;
    // The port failed while open (the link has closed itself).
    virtual void PortFailed() {}
    // The input not yet read was thrown away and the outstanding read aborted: received bytes
    // that follow do not continue those before.
    virtual void Purged() {}
};

}  // namespace r512
