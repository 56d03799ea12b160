#pragma once

#include <cstdint>

namespace r512 {

// Receives the notices of a link: the completions of its reads and writes, the end of an open
// made in the background, and the failure of its port. PostNotice is called on the link's I/O
// thread (and on the owner's thread for a failure that an operation waiting there found, or for
// an open whose thread could not be started): an implementation must only queue the
// notice for its own thread (as a posted window message would be queued) and return at once,
// never wait for that thread or handle the notice in the call. Notices are handled in the order
// they were posted.
class NoticeTarget {
public:
    virtual ~NoticeTarget() = default;
    // message: the request's notice message; requested: the length that was asked for;
    // received: the number of bytes actually transferred.
    virtual void PostNotice(std::uint32_t message, std::uint32_t requested,
                            std::uint32_t received) = 0;
};

}  // namespace r512
