#include "PathText.h"

#include <cstring>

namespace r512::installer {

bool AppendText(char* buffer, std::size_t capacity, const char* tail) {
    const std::size_t used = std::strlen(buffer);
    const std::size_t extra = std::strlen(tail);
    if (used + extra + 1 > capacity) {
        return false;
    }
    std::memcpy(buffer + used, tail, extra + 1);
    return true;
}

bool CopyText(char* buffer, std::size_t capacity, const char* text) {
    if (capacity == 0) {
        return false;
    }
    buffer[0] = '\0';
    return AppendText(buffer, capacity, text);
}

}  // namespace r512::installer
