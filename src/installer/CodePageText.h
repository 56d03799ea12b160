#pragma once
// Reading ANSI path text character by character in a code page that may have double-byte
// characters (Japanese, Chinese, Korean). There the second byte of a character can be any byte
// from 0x40 on: a backslash (0x5C) or a letter from 'a' to 'z'. Looking at single bytes would cut
// a path inside a character or change one character into another, so every search and every
// change of letter case here steps over whole characters.
#include <windows.h>

#include <string>

namespace r512::installer {

// The last backslash of text that is a character of its own, or null when there is none.
// codePage is the code page of text: CP_ACP for the paths the system hands to the programs.
const char* LastBackslash(const char* text, UINT codePage = CP_ACP);

// Whether the last character of text is a backslash (and not the second byte of a character).
bool EndsWithBackslash(const char* text, UINT codePage = CP_ACP);

// A copy of text with the letters 'a' to 'z' that stand as characters of their own turned into
// capitals; every byte of a double-byte character stays as it is. For comparing names without
// regard to letter case: the text itself, a path that is used, is never changed.
std::string AsciiCapitals(const char* text, UINT codePage = CP_ACP);

}  // namespace r512::installer
