#pragma once

#include <cstdint>
#include <memory>

namespace r512 {

// One queued read or write. The link keeps a pointer to the caller's bytes and their length,
// never a copy: the caller keeps them alive and unchanged until the request has completed or
// has been discarded by ClosePort. A request may instead own its bytes (ownedData), which are
// then released with the request itself, after its completion or discard.
struct IoRequest {
    std::uint8_t* data = nullptr;
    std::uint32_t length = 0;
    std::uint32_t bytesDone = 0;      // the byte count that the port primitives fill in
    std::uint32_t noticeMessage = 0;  // posted to the owner on completion; 0 for none
    std::unique_ptr<std::uint8_t[]> ownedData;
};

}  // namespace r512
