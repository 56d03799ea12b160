#include <gtest/gtest.h>

#include "serial/ComPortName.h"

namespace r512::test {
namespace {

struct NameCase {
    const char* configured;
    const char* opened;
};

TEST(SystemPortPath, ComTenAndAboveGoThroughTheDeviceNamespace) {
    const NameCase cases[] = {
        {"COM1", "COM1"},
        {"COM9", "COM9"},
        {"COM10", "\\\\.\\COM10"},
        {"COM12", "\\\\.\\COM12"},
        {"com12", "\\\\.\\com12"},
        {"COM256", "\\\\.\\COM256"},
        {"COM012", "COM012"},
        {"COM1A", "COM1A"},
        {"COMX12", "COMX12"},
        {"", ""},
        {"\\\\.\\COM12", "\\\\.\\COM12"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"LPT12", "LPT12"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(SystemPortPath(c.configured), c.opened) << c.configured;
}

}  // namespace
}  // namespace r512::test
