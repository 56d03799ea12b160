#pragma once

#include <cstdint>

namespace r512 {

// The port's time-outs, in milliseconds, with the meaning the serial drivers give them:
// a read ends when its bytes have arrived, when ReadIntervalTimeout passes after a byte without
// another (0: no interval rule), or when multiplier x length + constant has passed since it
// started (both 0: no total rule). A write ends when its bytes are out or after its total time.
struct CommTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};

}  // namespace r512
