#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <functional>

#include "app/SettingsLayout.h"

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

}  // namespace r512::test
