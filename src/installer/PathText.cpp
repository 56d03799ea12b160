#include "PathText.h"

#include <cstring>

#include "CodePageText.h"

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

bool AppendToFolder(char* buffer, std::size_t capacity, const char* name) {
    const std::size_t used = std::strlen(buffer);
    if (!EndsWithBackslash(buffer) && !AppendText(buffer, capacity, "\\")) {
        return false;
    }
    if (!AppendText(buffer, capacity, name)) {
        buffer[used] = '\0';
        return false;
    }
    return true;
}

}  // namespace r512::installer
