#pragma once

#include <string>
#include <vector>

namespace r512 {

// The serial ports present on this machine, to offer as choices; typing any other name stays
// possible. On Linux: the stable /dev/serial/by-id names first, then USB adapters and built-in
// ports. On Windows: the ports of the registry's serial-port map, COM ports by number.
std::vector<std::string> ListSerialPorts();

// Whether port names must keep their letter case (device paths on Linux) or may be shown in
// capitals (COM port names on Windows).
bool PortNamesAreCaseSensitive();

}  // namespace r512
