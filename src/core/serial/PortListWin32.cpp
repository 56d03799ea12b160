#include "serial/PortList.h"

namespace r512 {

// On Windows the four COM buttons and the Other field cover the names; no list is offered.
std::vector<std::string> ListSerialPorts() { return {}; }

bool PortNamesAreCaseSensitive() { return false; }

}  // namespace r512
