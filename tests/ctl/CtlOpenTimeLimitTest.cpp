// --timeout bounds the wait for a socket port too: a bridge that never answers a connection
// request is given up after the time-out, with the port's exit status.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "ctl/Ctl.h"
#include "ctl/ExitCode.h"
#include "support/LoopbackBridge.h"

namespace r512::test {
namespace {

using Clock = std::chrono::steady_clock;

TEST(CtlOpenTimeLimit, ADeafBridgeIsGivenUpAfterTheTimeout) {
    LoopbackBridge bridge;
    bridge.GoDeaf();
    struct Case {
        const char* timeout;
        Clock::duration shortest;
        Clock::duration longest;
    };
    const Case cases[] = {
        {"0.3", std::chrono::milliseconds(300), std::chrono::milliseconds(1200)},
        {"1", std::chrono::milliseconds(1000), std::chrono::milliseconds(1900)},
    };
    for (const Case& c : cases) {
        std::ostringstream out, err;
        std::istringstream in;
        const Clock::time_point began = Clock::now();
        const int status = ctl::RunCtl({"--timeout", c.timeout, "--port", bridge.Name(), "status"},
                                       {out, err, in});
        const Clock::duration took = Clock::now() - began;
        EXPECT_EQ(status, ctl::kExitPortFailed) << c.timeout;
        EXPECT_EQ(err.str().rfind("r512ctl: " + bridge.Name() + ": ", 0), 0u) << err.str();
        EXPECT_GE(took, c.shortest) << c.timeout;
        EXPECT_LE(took, c.longest) << c.timeout;
    }
}

}  // namespace
}  // namespace r512::test
