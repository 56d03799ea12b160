#include "ctl/NamesFile.h"

#include <filesystem>
#include <fstream>
#include <istream>
#include <system_error>

namespace r512::ctl {

namespace {

// At most kNamesFileLimit bytes, and whether the stream had more.
bool ReadLimited(std::istream& in, std::string& text, bool& tooLong) {
    text.assign(kNamesFileLimit + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad() || (in.fail() && !in.eof())) return false;
    tooLong = got > kNamesFileLimit;
    text.resize(got);
    return true;
}

}  // namespace

bool ReadNamesFile(const std::string& name, std::istream& in, std::string& text,
                   std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    bool tooLong = false;
    if (name == "-") {
        if (!ReadLimited(in, text, tooLong)) return fail("can't be read");
    } else {
        std::error_code code;
        const auto status = std::filesystem::status(name, code);
        if (code) return fail("can't be read (" + code.message() + ")");
        if (!std::filesystem::is_regular_file(status)) return fail("not a regular file");
        std::ifstream file(name, std::ios::binary);
        if (!file || !ReadLimited(file, text, tooLong)) return fail("can't be read");
    }
    if (tooLong) {
        return fail("longer than a names file can be (at most " +
                    std::to_string(kNamesFileLimit / 1024) + " KiB)");
    }
    return true;
}

}  // namespace r512::ctl
