#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Messages.h"
#include "base/SettingsLayout.h"
#include "qt/ModalRun.h"
#include "simulator/Simulator.h"
#include "ui/ResourceIds.h"

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

// A control of a dialog or panel by its identifier (its "controlId" property), or nullptr.
template <class T = QWidget>
T* ControlById(const QWidget* dialog, int id) {
    for (T* control : dialog->findChildren<T*>()) {
        if (control->property("controlId").toInt() == id) return control;
    }
    return nullptr;
}

// The Names dialog's edit field of string `index` (0 to 12: names 1 to 9, welcome lines 1 and
// 2, standby lines 1 and 2) and a push button of a dialog by its identifier.
inline QLineEdit* TextField(const QWidget& dialog, int index) {
    return ControlById<QLineEdit>(&dialog, IDC_SOURCE_NAME_1 + index);
}
inline QPushButton* PushButton(const QWidget& dialog, int id) {
    return ControlById<QPushButton>(&dialog, id);
}

// Shows a dialog (as its modal run would) and makes it the active window.
inline bool ShowActive(QWidget& dialog) {
    dialog.show();
    dialog.activateWindow();
    return WaitUntil([&] { return dialog.isActiveWindow(); }, 2000);
}

// Gives the control with identifier `id` the focus, as Tab would, and presses `key` where the
// focus is, once the dialog is the active window; returns the control that has the focus
// afterwards.
inline QWidget* PressKeyOn(QWidget& dialog, int id, Qt::Key key) {
    EXPECT_TRUE(WaitUntil([&] { return dialog.isActiveWindow(); }, 2000));
    ControlById(&dialog, id)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), key);
    return QApplication::focusWidget();
}

// Shows a dialog, presses Enter on the control with identifier `id` and returns the result
// the dialog has then.
inline int PressEnterOn(QDialog& dialog, int id) {
    EXPECT_TRUE(ShowActive(dialog));
    PressKeyOn(dialog, id, Qt::Key_Return);
    return dialog.result();
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
