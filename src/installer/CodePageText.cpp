#include "CodePageText.h"

namespace r512::installer {
namespace {

// The start of the character after the one at c, which must not be the terminating zero. A lead
// byte followed by the terminating zero (a cut-off text) counts as one character of its own.
const char* NextCharacter(const char* c, UINT codePage) {
    if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(*c)) && c[1] != '\0') {
        return c + 2;
    }
    return c + 1;
}

}  // namespace

const char* LastBackslash(const char* text, UINT codePage) {
    const char* last = nullptr;
    for (const char* c = text; *c != '\0'; c = NextCharacter(c, codePage)) {
        if (*c == '\\') {
            last = c;
        }
    }
    return last;
}

bool EndsWithBackslash(const char* text, UINT codePage) {
    const char* lastCharacter = nullptr;
    for (const char* c = text; *c != '\0'; c = NextCharacter(c, codePage)) {
        lastCharacter = c;
    }
    return lastCharacter != nullptr && lastCharacter[0] == '\\' && lastCharacter[1] == '\0';
}

std::string AsciiCapitals(const char* text, UINT codePage) {
    std::string capitals;
    for (const char* c = text; *c != '\0';) {
        const char* next = NextCharacter(c, codePage);
        const bool letter = next == c + 1 && *c >= 'a' && *c <= 'z';
        capitals.push_back(letter ? static_cast<char>(*c - 'a' + 'A') : *c);
        for (++c; c != next; ++c) {
            capitals.push_back(*c);
        }
    }
    return capitals;
}

}  // namespace r512::installer
