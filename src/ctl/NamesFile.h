#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

namespace r512::ctl {

// The longest names file r512ctl takes. The thirteen fields fit in under 2 KiB even with every
// byte escaped; the rest leaves room for comments.
constexpr std::size_t kNamesFileLimit = 64 * 1024;

// Reads the file `names set` is given ("-": `in`, standard input), before the port is opened.
// Only a regular file (or standard input) of at most kNamesFileLimit bytes is read: a folder, a
// device such as /dev/zero or a FIFO is refused without reading from it. False with `error`
// saying why ("not a regular file", ...).
bool ReadNamesFile(const std::string& name, std::istream& in, std::string& text,
                   std::string* error);

}  // namespace r512::ctl
