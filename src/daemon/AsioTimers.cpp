#include "daemon/AsioTimers.h"

namespace r512::daemon {

AsioTimers::AsioTimers(boost::asio::io_context& io, std::function<void(int id)> expired)
    : expired_(std::move(expired)) {
    for (Slot& slot : slots_) slot.timer = std::make_unique<boost::asio::steady_timer>(io);
}

void AsioTimers::StartTimer(int id, unsigned periodMs) {
    if (id < 0 || id >= static_cast<int>(slots_.size())) return;
    Slot& slot = slots_[static_cast<std::size_t>(id)];
    slot.period = std::chrono::milliseconds(periodMs);
    slot.running = true;
    ++slot.generation;
    Arm(id);
}

void AsioTimers::StopTimer(int id) {
    if (id < 0 || id >= static_cast<int>(slots_.size())) return;
    Slot& slot = slots_[static_cast<std::size_t>(id)];
    slot.running = false;
    ++slot.generation;
    slot.timer->cancel();
}

bool AsioTimers::IsTimerRunning(int id) const {
    return id >= 0 && id < static_cast<int>(slots_.size()) &&
           slots_[static_cast<std::size_t>(id)].running;
}

void AsioTimers::Arm(int id) {
    Slot& slot = slots_[static_cast<std::size_t>(id)];
    slot.timer->expires_after(slot.period);
    const unsigned generation = slot.generation;
    slot.timer->async_wait([this, id, generation](const boost::system::error_code& ec) {
        Slot& s = slots_[static_cast<std::size_t>(id)];
        if (ec || !s.running || s.generation != generation) return;
        Arm(id);  // periodic, as the window system's timers are
        expired_(id);
    });
}

}  // namespace r512::daemon
