// What r512ctl makes of the words a script gives it, and of a names file.
#include <gtest/gtest.h>

#include "ctl/CommandLine.h"
#include "device/NamesText.h"

namespace r512::test {
namespace {

using C = ctl::CommandLine::Command;

TEST(CtlCommandLine, OptionsAsScriptsWriteThem) {
    struct Case {
        std::vector<std::string> args;
        C command;
        std::string port;  // "" for none given
        std::string trace;
        std::string namesFile;
        std::string value;  // set's value
        bool quiet;
    };
    const Case cases[] = {
        {{"--port=COM2", "status"}, C::Status, "COM2", "", "", "", false},
        {{"--port=socket://h:1=2", "status"}, C::Status, "socket://h:1=2", "", "", "", false},
        {{"--trace=-", "key", "mute"}, C::Key, "", "-", "", "", false},
        {{"-q", "set", "volume", "-30"}, C::Set, "", "", "", "-30", true},
        {{"set", "volume", "--", "-30"}, C::Set, "", "", "", "-30", false},
        {{"names", "set", "--", "-q"}, C::NamesSet, "", "", "-q", "", false},
        {{"names", "set", "--", "--port=x"}, C::NamesSet, "", "", "--port=x", "", false},
        {{"--version"}, C::Version, "", "", "", "", false},
        {{"status", "--version", "--help"}, C::Help, "", "", "", "", false},
    };
    for (const Case& c : cases) {
        ctl::CommandLine line;
        std::string error;
        std::string args;
        for (const std::string& arg : c.args) args += arg + " ";
        ASSERT_TRUE(ctl::ParseCommandLine(c.args, line, &error)) << args << error;
        EXPECT_EQ(line.command, c.command) << args;
        EXPECT_EQ(line.port.value_or(""), c.port) << args;
        EXPECT_EQ(line.trace, c.trace) << args;
        EXPECT_EQ(line.namesFile, c.namesFile) << args;
        EXPECT_EQ(line.value, c.value) << args;
        EXPECT_EQ(line.quiet, c.quiet) << args;
    }
}

TEST(CtlNamesText, FileFromAnEditorOrWithAFieldTwice) {
    struct Case {
        const char* file;
        bool accepted;
        const char* error;  // when refused
    };
    const Case cases[] = {
        {"\xEF\xBB\xBFsource-1 = \"Phono\"\n", true, ""},
        {"\xEF\xBB\xBF# comment first\r\nsource-1 = \"Phono\"\r\n", true, ""},
        {"source-1 = \"Phono\"\n\xEF\xBB\xBFsource-2 = \"TV\"\n", false,
         "line 2: no field '\xEF\xBB\xBFsource-2'"},
        {"source-1 = \"Phono\"\nsource-2 = \"TV\"\nsource-1 = \"Deck\"\n", false,
         "line 3: source-1 is given twice (first on line 1)"},
        {"welcome-1 = \"a\"\n\n  welcome-1=\"a\"\n", false,
         "line 3: welcome-1 is given twice (first on line 1)"},
    };
    for (const Case& c : cases) {
        names_fields::Texts texts = names_fields::Defaults();
        const auto fault = names_text::Parse(c.file, texts);
        EXPECT_EQ(!fault, c.accepted) << c.file;
        if (c.accepted) {
            EXPECT_EQ(texts[0], "Phono") << c.file;
        } else if (fault) {
            EXPECT_EQ(fault->Text().rfind(c.error, 0), 0u) << c.file << " -> " << fault->Text();
        }
    }
}

}  // namespace
}  // namespace r512::test
