#pragma once

#include <optional>
#include <string>

#include "device/NamesFields.h"

namespace r512 {

// The names memory's thirteen texts as a file a user edits, one "field = "text"" line each:
//   source-1 = "Video 1"
//   ...
//   welcome-1 = "   ZEL R-512"
// Trailing blanks are left out (the device pads every field with them); a '"' or '\' in a text
// is written with a backslash, any other byte outside printable ASCII as \xHH. Lines that are
// empty or begin with '#' are comments.
namespace names_text {

// The field names in the dialog's order: source-1 to source-9, welcome-1, welcome-2,
// standby-1, standby-2.
const char* FieldName(int index);

std::string Format(const names_fields::Texts& texts);
std::string FormatJson(const names_fields::Texts& texts);

// What is wrong with a file, and on which line.
struct ParseError {
    int line = 0;
    std::string what;
    // "line 3: source-1 is given twice (first on line 1)"
    std::string Text() const { return "line " + std::to_string(line) + ": " + what; }
};

// Reads such a file into `texts`: the fields it names replace theirs, the others stay. Every
// text must fit its field and hold only bytes the device can store, as the Names dialog
// demands, and no field may be given twice; a UTF-8 byte order mark at the start is passed
// over. The first fault otherwise, and `texts` as they were.
[[nodiscard]] std::optional<ParseError> Parse(const std::string& file, names_fields::Texts& texts);

}  // namespace names_text

}  // namespace r512
