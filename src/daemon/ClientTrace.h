#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace r512::daemon {

// The daemon's trace (--trace FILE): one line for each request a client made of the device and
// each frame the device sent, tagged with the client it came from ("raw#3 127.0.0.1:40112",
// "json#1 ...", "device"). Reopen (on SIGHUP) lets a log rotation move the file away.
class ClientTrace {
public:
    ClientTrace() = default;
    ~ClientTrace();
    ClientTrace(const ClientTrace&) = delete;
    ClientTrace& operator=(const ClientTrace&) = delete;

    // False with `error` set when the file can't be opened for appending.
    bool Open(const std::string& path, std::string* error);
    bool Reopen(std::string* error);
    bool Enabled() const { return file_ != nullptr; }

    void Line(std::string_view tag, std::string_view text);
    // "-> E0 52 53 21 15 knob up" and the like.
    void Bytes(std::string_view tag, const char* direction, const std::uint8_t* bytes,
               std::size_t count, std::string_view note);

private:
    std::string path_;
    std::FILE* file_ = nullptr;
};

}  // namespace r512::daemon
