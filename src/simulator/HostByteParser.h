#pragma once

#include <cstddef>
#include <cstdint>

namespace r512::sim {

// What one byte from the host means to the device, once it has been taken.
struct HostByte {
    enum class Kind {
        Pending,       // part of something not yet complete (a frame, the key, an announcement)
        Command,       // completes a command frame; `value` is its code
        NamesRequest,  // asks for the whole names memory
        UploadOpened,  // completes the write key: section bytes may follow
        UploadByte,    // a byte of a section; `value` goes at `offset` in the names memory
        UploadEnd,     // the upload is complete: what came is to be stored
        WrongKey,      // a byte of the write key that is wrong: the upload is refused
        Stray,         // starts nothing; `value` is the byte
    };
    Kind kind = Kind::Pending;
    std::uint8_t value = 0;
    int offset = 0;
    // The byte came between two sections of an upload and announces none: the upload is
    // abandoned, and `kind` tells what the byte means on its own.
    bool abandonsUpload = false;
};

// Reads the bytes the host sends one at a time: command frames (0xE0 'R' 'S' '!' code), the
// names download request, and the names upload (start byte, write key, announced sections,
// end byte). It knows nothing of the line or the device's state, so a test can feed it bytes.
class HostByteParser {
public:
    HostByte Take(std::uint8_t byte);
    // Forgets anything half-read (the line has been closed).
    void Reset() { state_ = State::Idle; }

private:
    enum class State { Idle, Frame, Key, Section, Data };

    HostByte Start(std::uint8_t byte);

    State state_ = State::Idle;
    // Frame: bytes of the frame taken; Key: bytes of the key matched; Data: bytes of the
    // section taken.
    std::size_t count_ = 0;
    int sectionAt_ = 0;            // Data: where the section lies in the names memory
    std::size_t sectionSize_ = 0;  // Data: its length
};

}  // namespace r512::sim
