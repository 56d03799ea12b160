// Qt's widgets need an application object for the whole test run, on the offscreen platform
// unless the environment chooses another, and settings in a folder of their own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

#include "qt/ModalRun.h"

// The artwork lives in the program's static library; its resources are registered by hand.
static void RegisterArtwork() { Q_INIT_RESOURCE(resources); }

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // No test touches the user's own settings.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication application(argc, argv);
    RegisterArtwork();
    // No dialog waits for a person: a test that wants one worked sets its own hook.
    r512::SetModalHook([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
