#pragma once

#include <cstdint>

namespace r512 {

// Receives the completion notices of a link's reads and writes. PostNotice is called on the
// link's I/O thread: an implementation must only queue the notice for its own thread (as a
// posted window message would be queued) and return at once, never wait for that thread.
class NoticeTarget {
public:
    virtual ~NoticeTarget() = default;
    // message: the request's notice message; requested: the length that was asked for;
    // received: the number of bytes actually transferred.
    virtual void PostNotice(std::uint32_t message, std::uint32_t requested,
                            std::uint32_t received) = 0;
};

}  // namespace r512
