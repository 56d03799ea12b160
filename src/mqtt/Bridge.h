#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <mqtt/async_client.h>

#include "base/BlockingNoticeQueue.h"
#include "base/MessagePump.h"
#include "base/Profile.h"
#include "base/WindowTimers.h"
#include "device/DeviceLink.h"
#include "mqtt/BridgeOptions.h"
#include "mqtt/Discovery.h"
#include "ui/ConnectionController.h"
#include "ui/DisplayComposer.h"
#include "ui/DisplayLines.h"
#include "ui/SetPursuit.h"

namespace r512::mqtt {

// r512-mqtt: the device link of the core on one side, an MQTT broker on the other, one thread
// between them. The link's notices, the broker's events (posted by the MQTT library's threads)
// and the stop all arrive in one queue, so the thread sleeps until something happens.
//
// The device side is the desktop program's: the core's connection controller opens the port,
// asks for a full report, recovers a port that failed, and composes the two display lines.
// Each register report becomes a retained state message; the availability topic says "online"
// while the device answers and "offline" when its link is lost (and, as the last will, when
// the bridge is gone). Commands are pursued with the closed loop of set.
class Bridge final : public MessagePump,
                     private WindowTimers,
                     private Profile,
                     private DisplayLines {
public:
    Bridge(BridgeOptions options, std::string password);
    ~Bridge() override;

    // Runs until Stop; the exit status (0 after a stop).
    int Run();
    // Publishes empty retained configs for every entity (and clears the retained state) and
    // returns the exit status.
    int RemoveDiscovery();

    // Thread-safe: ends Run (SIGTERM).
    void Stop();

    // The names download's event loop: the device's notices only; the broker's events wait.
    void RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override;

private:
    using Clock = std::chrono::steady_clock;
    struct Event {
        enum class Kind { Connected, Lost, ConnectFailed, Message } kind;
        std::string topic;
        std::string payload;
    };
    class Callbacks;

    // WindowTimers
    void StartTimer(int id, unsigned periodMs) override;
    void StopTimer(int id) override;
    bool IsTimerRunning(int id) const override;
    // Profile: the port and speed of the command line (or the saved ones)
    int GetProfileInt(const char* section, const char* key, int defaultValue) override;
    std::string GetProfileString(const char* section, const char* key,
                                 const char* defaultValue) override;
    bool WriteProfileInt(const char*, const char*, int) override { return false; }
    bool WriteProfileString(const char*, const char*, const std::string&) override { return false; }
    // DisplayLines: the composer's lines are read after each pass
    void SetLine(const char*, int, bool) override {}

    void Post(Event event);
    void HandleNotice(const BlockingNoticeQueue::Notice& notice);
    void HandleEvents();
    void HandleMessage(const std::string& topic, const std::string& payload);
    void HandleSet(const RegisterTopic& topic, const std::string& payload);
    void PursuitStep(std::uint8_t code, SetPursuit::Step step);
    void RunDueTimers();
    Clock::time_point NextDeadline() const;
    void OpenDevice();
    void PortOpenEnded(bool opened);
    void ReadDeviceNames();

    bool Connect(bool wait);
    void Connected();
    void ConnectionDown(const std::string& why);
    bool Publish(const std::string& topic, const std::string& payload, bool force = false);
    void PublishDiscovery();
    void PublishRegister(std::uint8_t code, bool force = false);
    void PublishAll();
    void SyncAvailability();
    void SyncDisplay();
    bool DeviceAnswering() const;
    DiscoveryContext Context() const;
    void Log(const std::string& line) const;

    BridgeOptions options_;
    std::string password_;
    TopicNames topics_;

    BlockingNoticeQueue notices_;
    DeviceLink link_;
    DisplayComposer composer_;
    ConnectionController controller_;
    struct Timer {
        bool running = false;
        std::chrono::milliseconds period{0};
        Clock::time_point due{};
    };
    std::array<Timer, 5> timers_{};

    std::unique_ptr<::mqtt::async_client> client_;
    std::unique_ptr<Callbacks> callbacks_;
    std::mutex eventsLock_;
    std::deque<Event> events_;
    std::atomic<bool> stop_{false};

    bool brokerUp_ = false;
    std::chrono::milliseconds backoff_{500};
    std::optional<Clock::time_point> reconnectAt_;
    std::optional<Clock::time_point> portRetryAt_;
    bool portMissing_ = false;  // the port could not be opened: retried quietly
    bool opening_ = false;      // an open of the port is under way
    std::optional<Clock::time_point> availabilityCheckAt_;
    Clock::time_point lastFrame_{};
    bool online_ = false;
    bool namesRead_ = false;
    SourceNames names_ = FixedSourceNames();
    std::map<std::string, std::string> published_;
    std::map<std::uint8_t, SetPursuit> pursuits_;
};

}  // namespace r512::mqtt
