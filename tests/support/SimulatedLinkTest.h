#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/BlockingNoticeQueue.h"
#include "device/DeviceLink.h"
#include "simulator/Simulator.h"

namespace r512::test {

// A device link against the simulated device on a pseudo-terminal; the test plays the window
// that hands the link's notices back to it.
class SimulatedLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        device = sim::Simulator::OpenPseudoTerminal(&error);
        ASSERT_TRUE(device) << error;
    }

    bool Connect() {
        return link.OpenPort(device->PortPath().c_str(), "baud=11520 parity=N data=8 stop=1",
                             &notices) == SerialLink::OpenResult::Opened;
    }

    // Every register reported since the last refresh.
    bool NonePending() const {
        for (int i = 0; i < kRegisterCount; ++i) {
            if (link.Mirror().State(static_cast<std::uint8_t>(kFirstRegister + i)) ==
                RegisterState::Pending)
                return false;
        }
        return true;
    }

    std::unique_ptr<sim::Simulator> device;
    BlockingNoticeQueue notices;
    DeviceLink link;
};

}  // namespace r512::test
