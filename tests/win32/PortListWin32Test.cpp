// The ports the configuration dialog offers on Windows: the registry's serial-port map, read in
// a throw-away Wine prefix whose map the test extends by ports of its own.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "serial/PortList.h"

namespace r512::test {
namespace {

constexpr const char* kMap = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// Values added to the map for one test, removed again at its end.
class SerialMapEntries {
public:
    SerialMapEntries() {
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMap, 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
    }
    ~SerialMapEntries() {
        for (const std::string& name : added_) RegDeleteValueA(key_, name.c_str());
        if (key_) RegCloseKey(key_);
    }
    bool Add(const std::string& device, const std::string& data, DWORD type = REG_SZ) {
        added_.push_back(device);
        return key_ && RegSetValueExA(key_, device.c_str(), 0, type,
                                      reinterpret_cast<const BYTE*>(data.c_str()),
                                      static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
    }

private:
    HKEY key_ = nullptr;
    std::vector<std::string> added_;
};

std::size_t Position(const std::vector<std::string>& ports, const std::string& name) {
    return static_cast<std::size_t>(std::find(ports.begin(), ports.end(), name) - ports.begin());
}

TEST(PortListWin32, OffersThePortsOfTheSerialMapInNumberOrder) {
    if (!std::getenv("R512_WINE_THROWAWAY_PREFIX"))
        GTEST_SKIP() << "changes the machine's serial-port map: only in a throw-away prefix";
    SerialMapEntries map;
    ASSERT_TRUE(map.Add("\\Device\\R512TestA", "COM17"));
    ASSERT_TRUE(map.Add("\\Device\\R512TestB", "COM7"));
    ASSERT_TRUE(map.Add("\\Device\\R512TestC", "COM7"));   // two drivers naming one port
    ASSERT_TRUE(map.Add("\\Device\\R512TestD", "CNCA0"));  // not a COMn name: after those
    ASSERT_TRUE(map.Add("\\Device\\R512TestE", "COM9", REG_EXPAND_SZ));  // not a plain name

    const std::vector<std::string> ports = ListSerialPorts();
    ASSERT_LT(Position(ports, "COM7"), ports.size());
    ASSERT_LT(Position(ports, "COM17"), ports.size());
    ASSERT_LT(Position(ports, "CNCA0"), ports.size());
    EXPECT_LT(Position(ports, "COM7"), Position(ports, "COM17"));  // by number, not by text
    EXPECT_LT(Position(ports, "COM17"), Position(ports, "CNCA0"));
    EXPECT_EQ(std::count(ports.begin(), ports.end(), "COM7"), 1);
    EXPECT_EQ(Position(ports, "COM9"), ports.size());
}

}  // namespace
}  // namespace r512::test
