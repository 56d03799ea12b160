#pragma once

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Messages.h"
#include "base/SettingsLayout.h"
#include "qt/ModalRun.h"
#include "simulator/Simulator.h"

namespace r512::test {

// Runs the event loop until `done` holds or `timeoutMs` has passed.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Removes every setting of the program, so that each test starts from a first run.
inline void ClearSettings() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, settings::kOrganisation,
                       settings::kApplication);
    settings.clear();
    settings.sync();
}

// A test against the simulated device on a pseudo-terminal, with settings that point the
// program at it (configured, so no first-run dialog) and the program's messages recorded.
class SimulatedDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        SetMessageSink([this](int id, const std::string&) { messages.push_back(id); });
        std::string error;
        device = sim::Simulator::OpenPseudoTerminal(&error);
        ASSERT_TRUE(device) << error;
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, settings::kOrganisation,
                           settings::kApplication);
        settings.setValue("Config/Configured", 1);
        settings.setValue("Config/Port", QString::fromStdString(device->PortPath()));
        settings.sync();
    }
    void TearDown() override {
        SetModalHook([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
        SetMessageSink(nullptr);
    }

    // The commands the device has taken once at least `atLeast` have come and then nothing
    // more for a moment.
    std::vector<std::uint8_t> SettledCommands(std::size_t atLeast) {
        WaitUntil([&] { return device->Commands().size() >= atLeast; }, 3000);
        WaitUntil([] { return false; }, 250);
        return device->Commands();
    }

    std::unique_ptr<sim::Simulator> device;
    std::vector<int> messages;
};

}  // namespace r512::test
