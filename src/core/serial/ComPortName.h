#pragma once

#include <string>

namespace r512 {

// The name under which Windows opens a configured port. "COM1" to "COM9" are names the system
// knows in every path; "COM10" and above exist only in the device namespace, so they are opened
// as "\\.\COMn". Any other name goes to the system as it stands. The stored setting keeps the
// name as the user typed it.
std::string SystemPortPath(const std::string& portName);

}  // namespace r512
