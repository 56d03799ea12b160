#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ctl/Ctl.h"
#include "simulator/Simulator.h"

namespace r512::test {

// r512ctl's commands run in-process against the simulated device, on a pseudo-terminal or over
// TCP on the loopback address, with the settings in a folder of the test's own.
class CtlTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        std::string error;
        device = UsesSocket() ? sim::Simulator::ListenTcp("127.0.0.1:0", &error)
                              : sim::Simulator::OpenPseudoTerminal(&error);
        ASSERT_TRUE(device) << error;
        config =
            std::filesystem::temp_directory_path() / ("r512ctl-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(config / "ZEL");
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (config / "none").c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(config); }

    bool UsesSocket() const { return GetParam(); }

    struct Result {
        int status;
        std::string out;
        std::string err;
    };

    // r512ctl with these arguments, on the simulator's port unless the arguments name one.
    Result Run(std::vector<std::string> args, const std::string& input = "") {
        bool portGiven = false;
        for (const std::string& arg : args) portGiven |= arg == "--port";
        if (!portGiven) args.insert(args.begin(), {"--port", device->PortPath()});
        std::ostringstream out, err;
        std::istringstream in(input);
        const int status = ctl::RunCtl(args, {out, err, in});
        return {status, out.str(), err.str()};
    }

    std::unique_ptr<sim::Simulator> device;
    std::filesystem::path config;
};

inline std::string TransportName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "Socket" : "PseudoTerminal";
}

}  // namespace r512::test
