#pragma once

#include <algorithm>
#include <chrono>

namespace r512::http {

// A bucket of `burst` messages that refills at `perSecond`: a client may send short bursts but
// no more than `perSecond` messages a second over time. The clock is passed in, so the rule is
// tested without waiting.
class MessageRate {
public:
    using Clock = std::chrono::steady_clock;

    MessageRate(double perSecond, double burst)
        : perSecond_(perSecond), burst_(burst), level_(burst) {}

    // Whether one more message may pass at `now`; takes it from the bucket when it may.
    bool Take(Clock::time_point now) {
        if (started_) {
            const std::chrono::duration<double> passed = now - last_;
            level_ = std::min(burst_, level_ + std::max(0.0, passed.count()) * perSecond_);
        }
        started_ = true;
        last_ = now;
        if (level_ < 1.0) return false;
        level_ -= 1.0;
        return true;
    }

private:
    double perSecond_;
    double burst_;
    double level_;
    bool started_ = false;
    Clock::time_point last_{};
};

}  // namespace r512::http
