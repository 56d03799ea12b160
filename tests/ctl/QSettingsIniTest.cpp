// The toolkit-free reader of the desktop program's settings file, on what its settings library
// writes (QSettingsRoundTripTest.cpp checks the same against the library itself).
#include <gtest/gtest.h>

#include "ctl/QSettingsIni.h"

namespace r512::test {
namespace {

struct Case {
    const char* line;  // under [Config]
    std::optional<std::string> port;
};

TEST(QSettingsIni, ValuesAsTheSettingsLibraryWritesThem) {
    const Case cases[] = {
        {"Port=COM3", "COM3"},
        {"Port=socket://127.0.0.1:5000", "socket://127.0.0.1:5000"},
        {"Port=/dev/tty USB0", "/dev/tty USB0"},
        {"Port=\" lead\"", " lead"},
        {"Port=\"trail \"", "trail "},
        {"Port=\"a;b\"", "a;b"},
        {"Port=\"a=b\"", "a=b"},
        {"Port=q\\\"x", "q\"x"},
        {"Port=back\\\\slash", "back\\slash"},
        {"Port=tab\\tx", "tab\tx"},
        {"Port=x\\x1y", "x\x01y"},
        {"Port=@@at", "@at"},
        {"Port=\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},  // UTF-8 stands as it is
        {"Port=", ""},
        {"Port =  COM2  ", "COM2"},                       // blanks around unquoted text don't count
        {"Port=a,b", std::nullopt},                       // a list, no single string
        {"Port=@Variant(\\0\\0\\0\\x7f)", std::nullopt},  // a typed value
        {"Speed=9600", std::nullopt},                     // no Port at all
        {"P%6Frt=COM4", "COM4"},                          // an escaped key name
    };
    for (const Case& c : cases) {
        const std::string file = std::string("[General]\nPort=wrong\n\n[Config]\n") + c.line +
                                 "\nConfigured=1\n\n[Other]\nPort=wrong too\n";
        EXPECT_EQ(ctl::IniStringValue(file, "Config", "Port"), c.port) << c.line;
    }
}

TEST(QSettingsIni, SectionsAndCommentsAreRespected) {
    EXPECT_EQ(
        ctl::IniStringValue("Port=COM9\n[Config]\n; Port=COM8\n# Port=COM7\n", "Config", "Port"),
        std::nullopt);
    EXPECT_EQ(ctl::IniStringValue("[Config]\r\nPort=COM5\r\n", "Config", "Port"), "COM5");
    // A later line for the same key wins, as the library reads it.
    EXPECT_EQ(ctl::IniStringValue("[Config]\nPort=COM1\n[Config]\nPort=COM2\n", "Config", "Port"),
              "COM2");
    EXPECT_EQ(ctl::IniStringValue("[Config]\nsub\\Port=COM6\n", "Config", "Port"), std::nullopt);
    // A file saved by an editor that marks UTF-8: the mark is no part of the first line.
    EXPECT_EQ(ctl::IniStringValue("\xEF\xBB\xBF[Config]\nPort=COM3\n", "Config", "Port"), "COM3");
}

}  // namespace
}  // namespace r512::test
