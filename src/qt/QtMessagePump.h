#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>

#include "base/MessagePump.h"

namespace r512 {

// The thread's Qt event loop as a MessagePump: every event is dispatched (posted device
// notices, painting, timers, input), and while none is pending the thread sleeps in the event
// dispatcher until one comes or the limit passes (a single-shot timer wakes it then).
class QtMessagePump final : public MessagePump {
public:
    void RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override {
        QDeadlineTimer deadline(limit.count(), Qt::PreciseTimer);
        QTimer wake;
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        wake.start(static_cast<int>(limit.count()));
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
};

}  // namespace r512
