#pragma once

#include <QCoreApplication>
#include <QEventLoop>

#include "base/MessagePump.h"

namespace r512 {

// The thread's Qt event loop as a MessagePump: every event is dispatched (posted device
// notices, painting, timers, input), and while none is pending the thread sleeps in the event
// dispatcher until one comes.
class QtMessagePump final : public MessagePump {
public:
    void RunUntil(const std::function<bool()>& done) override {
        while (!done())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
};

}  // namespace r512
