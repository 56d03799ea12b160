#pragma once

#include <functional>

namespace r512 {

// The thread's event loop, run from inside an operation that must wait for something the
// events bring (the names download waits for its read notice): runs every pending event of
// the thread, painting and timers included, and sleeps while there is none, until `done`
// holds. `done` is tested before the first event and after every round of events.
class MessagePump {
public:
    virtual ~MessagePump() = default;
    virtual void RunUntil(const std::function<bool()>& done) = 0;
};

}  // namespace r512
