#pragma once

#include <cstdint>
#include <span>

#include "device/Protocol.h"

namespace r512 {

// Whether a names download may be taken as the device's names memory.
//
// The device answers the download request with its 1024-byte memory, but a register report it
// sends meanwhile (a key on the device, a change of incoming signal) lands in the same byte
// stream: before the reply it moves every byte of the image three places on, inside it it moves
// the rest. The texts of a moved image mostly stay printable, so the check of the fields alone
// would pass it, and an upload built on it would write the moved texts into the device.
//
// The choice: a download counts only when it is known to be whole and aligned, and it is
// known so by its length alone. From the request until the line went quiet (no byte for the
// read's interval time-out) exactly 1024 bytes must have come:
//   - fewer means a short reply (or none): never taken, whatever the earlier image held;
//   - more means that something besides the memory came: a report before, inside or just after
//     the reply can't be told apart, so none of them is taken;
//   - a read that did not end by the line going quiet (its buffer filled, or its total
//     time-out cut it) proves nothing about what followed and is not taken either;
// and, as ever, every byte of the names and messages must be one the device can store.
// A report ahead of every download therefore fails every download (the user is told the
// names could not be read) rather than let one moved image through. A caller may try again
// a bounded number of times when ShouldTryAgain says the line was disturbed.
//
// Pure: no port, no clock, no events. DeviceLink::ReadNames decides with it, and so may any
// other reader of the names memory (a device server's own asynchronous download): purge the
// input, send the request, read into a buffer of kReadSize bytes, let the read end by the
// port's time-outs (100 ms after a byte without another, 5 s in all), and pass what arrived
// together with whether the read ended by silence (it did not fill the buffer and ended
// before its total time-out could have run out).
//
// What it can't see: a byte lost on the line together with a report of as many bytes in the
// same download adds up to 1024 again. Neither the simulator nor a sound cable loses bytes; the
// field check still refuses most such images.
namespace names_download {

// The download read asks for this much: the memory and room behind it, so that bytes that
// follow the memory land in the same read and are seen.
constexpr std::uint32_t kImageSize = names_layout::kImageSize;
constexpr std::uint32_t kReadSize = kImageSize + 64;

enum class Verdict {
    Accepted,      // exactly the memory, the line quiet after it, every text byte storable
    NoReply,       // nothing came
    Short,         // fewer bytes than the memory
    Overlong,      // more bytes than the memory: something came with it, the image is moved
    NotQuiet,      // the read did not end by silence: what followed is unknown
    InvalidBytes,  // whole and aligned, but a name or message holds a byte the device can't store
};

// `arrived`: every byte received from the request until the read ended (at most kReadSize).
// `lineWentQuiet`: the read ended because no byte followed the last one within the read's
// interval time-out (not because its buffer filled or its total time-out ran out).
Verdict Check(std::span<const std::uint8_t> arrived, bool lineWentQuiet);

// True when another download may bring a whole image: the line was disturbed or cut short.
// False for Accepted, for a device that does not answer and for memory it really holds.
bool ShouldTryAgain(Verdict verdict);

// A few words for the verdict, for traces and logs: "accepted", "short reply", ...
const char* Describe(Verdict verdict);

}  // namespace names_download

}  // namespace r512
