#pragma once

#include <cstdint>
#include <string>

#include "device/RegisterMirror.h"

namespace r512::ctl {

// One register as status and watch print it: its name, its byte and the value in words
//   "RS_VOLUME              65  vol: -35"
// (as JSON: RegisterJson of the core). A register the device has not reported has no value
// ("(not reported)").
std::string RegisterLine(std::uint8_t code, std::uint8_t value, bool reported);

}  // namespace r512::ctl
