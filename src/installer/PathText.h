#pragma once
// Bounded text operations on MAX_PATH buffers. Every path of the installer and uninstaller lives
// in such a buffer; appending reports an overflow instead of writing past the end, so that a step
// with an over-long path fails rather than working on a cut-off path.
#include <windows.h>

#include <cstddef>

namespace r512::installer {

// Appends tail to the zero-terminated text in buffer. Returns false, leaving buffer unchanged,
// when the result (with its terminating zero) would not fit.
bool AppendText(char* buffer, std::size_t capacity, const char* tail);

// Copies text into buffer; false, with buffer empty, when it does not fit.
bool CopyText(char* buffer, std::size_t capacity, const char* text);

// Appends a backslash and name to the folder in buffer; the backslash only when the folder does
// not end in one already (a drive's root such as "C:\" does). False, buffer unchanged, when the
// result would not fit.
bool AppendToFolder(char* buffer, std::size_t capacity, const char* name);

template <std::size_t N>
bool AppendText(char (&buffer)[N], const char* tail) {
    return AppendText(buffer, N, tail);
}

template <std::size_t N>
bool CopyText(char (&buffer)[N], const char* text) {
    return CopyText(buffer, N, text);
}

template <std::size_t N>
bool AppendToFolder(char (&buffer)[N], const char* name) {
    return AppendToFolder(buffer, N, name);
}

}  // namespace r512::installer
