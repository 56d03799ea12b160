#pragma once

#include <cstdint>

#include "serial/LineDefinition.h"

namespace r512::posix {

// Puts an open terminal into raw transfer with the given line: any baud rate (the kernel's
// arbitrary-rate interface, so that 11520 really is 11520), character size, parity and stop
// bits; no flow control of any kind; the receiver on and modem status lines ignored.
// False when the descriptor is no terminal or the driver refuses the settings.
bool ApplyLineSettings(int fd, const LineSettings& settings);

// The output and input speeds the terminal is set to, as the kernel reports them.
bool ReadLineSpeed(int fd, std::uint32_t& outputBaud, std::uint32_t& inputBaud);

}  // namespace r512::posix
