#include "daemon/ClientTrace.h"

#include <cerrno>
#include <chrono>
#include <cstring>

namespace r512::daemon {

ClientTrace::~ClientTrace() {
    if (file_) std::fclose(file_);
}

bool ClientTrace::Open(const std::string& path, std::string* error) {
    path_ = path;
    return Reopen(error);
}

bool ClientTrace::Reopen(std::string* error) {
    if (path_.empty()) return true;
    std::FILE* file = std::fopen(path_.c_str(), "a");
    if (!file) {
        if (error) *error = path_ + ": " + std::strerror(errno);
        return false;
    }
    if (file_) std::fclose(file_);
    file_ = file;
    return true;
}

void ClientTrace::Line(std::string_view tag, std::string_view text) {
    if (!file_) return;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    std::fprintf(file_, "%lld.%03lld [%.*s] %.*s\n", static_cast<long long>(ms / 1000),
                 static_cast<long long>(ms % 1000), static_cast<int>(tag.size()), tag.data(),
                 static_cast<int>(text.size()), text.data());
    std::fflush(file_);
}

void ClientTrace::Bytes(std::string_view tag, const char* direction, const std::uint8_t* bytes,
                        std::size_t count, std::string_view note) {
    if (!file_) return;
    std::string text = direction;
    char hex[4];
    const std::size_t shown = count > 16 ? 16 : count;
    for (std::size_t i = 0; i < shown; ++i) {
        std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
        text += hex;
    }
    if (count > shown) text += " ... (" + std::to_string(count) + " bytes)";
    if (!note.empty()) {
        text += "  ";
        text += note;
    }
    Line(tag, text);
}

}  // namespace r512::daemon
