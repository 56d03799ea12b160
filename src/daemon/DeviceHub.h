#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>

#include "base/NoticeTarget.h"
#include "base/Profile.h"
#include "daemon/AsioTimers.h"
#include "daemon/ClientRequestParser.h"
#include "daemon/ClientTrace.h"
#include "daemon/DaemonLink.h"
#include "daemon/Policy.h"
#include "ui/ConnectionController.h"
#include "ui/DisplayComposer.h"

namespace r512::daemon {

// What every client hears of the device, on the event loop's thread.
class HubListener {
public:
    virtual ~HubListener() = default;
    // Every frame the device sent, as it sent it (code, value, 0xFF).
    virtual void OnFrame(const RegisterFrame& frame) = 0;
    // The port opened again (true) or failed (false).
    virtual void OnLink(bool open) { (void)open; }
    // The two display lines changed (20 bytes each, as the display composes them).
    virtual void OnDisplay(const std::string& top, const std::string& bottom) {
        (void)top;
        (void)bottom;
    }
};

// The one device: the port, the core's link with its mirror, recovery and display, and the
// order in which the clients' requests reach it. Everything runs on the thread of the event
// loop `io`: the link's notices are posted there.
//
// Requests reach the device in the order they were made. A names transfer holds the line: the
// requests behind it wait, in order, and go when it has ended; a second transfer waits for the
// first.
class DeviceHub final : private NoticeTarget {
public:
    struct Port {
        std::string name;
        int speed = 12000;
    };
    enum class Outcome { Sent, Refused, LinkDown };
    using CommandDone = std::function<void(Outcome, const std::string& reason)>;
    using Image = DeviceLink::NamesImageBytes;
    // The checked image, or nullptr when the download failed (`reason` says why).
    using DownloadDone = std::function<void(const Image* image, const std::string& reason)>;
    using UploadDone = std::function<void(bool ok, const std::string& reason)>;

    DeviceHub(boost::asio::io_context& io, Port port, Policy& policy, ClientTrace& trace);
    ~DeviceHub() override;

    // Opens the port and asks for a full report; a port that can't be opened now is tried
    // again every 2 s (it may be an adapter not yet plugged in).
    void Start();
    // Closes the port; queued requests are dropped.
    void Stop();

    void AddListener(HubListener* listener);
    void RemoveListener(HubListener* listener);

    // A key for the device on behalf of `client` (its trace tag). `done` runs when the command
    // went out or was refused, at once unless a transfer holds the line.
    //
    // Each request returns false, having queued nothing and calling nothing back, when
    // kMaxQueued requests already wait: no client makes the daemon hold requests without bound.
    bool Command(const std::string& client, std::uint8_t code, CommandDone done = nullptr);
    // The mirror is complete (no register awaited) and the port open: a client's refresh can
    // be answered from it.
    bool MirrorCurrent() const;
    // Asks the device for a full report, unless one was asked for within the last second and
    // is still awaited.
    bool Refresh(const std::string& client);
    // One checked download (tried twice), then `done`.
    bool Download(const std::string& client, DownloadDone done);
    // Forwards an upload, paced as the device needs, then `done`.
    bool Upload(const std::string& client, const NamesUpload& upload, UploadDone done);
    static constexpr std::size_t kMaxQueued = 512;
    std::size_t QueueRoom() const { return kMaxQueued - std::min(kMaxQueued, queue_.size()); }

    const RegisterMirror& Mirror() const { return link_.Mirror(); }
    bool LinkOpen() const { return linkOpen_; }
    std::string DisplayTop() const { return top_; }
    std::string DisplayBottom() const { return bottom_; }
    Policy& Rules() { return policy_; }
    boost::asio::io_context::executor_type Executor() { return io_.get_executor(); }
    // Whether a names transfer holds the line.
    bool TransferRunning() const { return transfer_; }

    // How long the download's quiet check waits after the 1024th byte.
    static constexpr std::chrono::milliseconds kQuietTime{150};

private:
    struct Job {
        enum class Kind { Command, Refresh, Download, Upload };
        Kind kind = Kind::Command;
        std::string client;
        std::uint8_t code = 0;
        CommandDone commandDone;
        DownloadDone downloadDone;
        NamesUpload upload;
        UploadDone uploadDone;
        int attempt = 0;
    };

    class MemoryProfile final : public Profile {
    public:
        explicit MemoryProfile(const Port& port) : port_(port) {}
        int GetProfileInt(const char*, const char* key, int defaultValue) override;
        std::string GetProfileString(const char*, const char* key, const char* def) override;
        bool WriteProfileInt(const char*, const char*, int) override { return true; }
        bool WriteProfileString(const char*, const char*, const std::string&) override {
            return true;
        }

    private:
        const Port& port_;
    };
    class Lines final : public DisplayLines {
    public:
        void SetLine(const char*, int, bool) override {}
    };

    void PostNotice(std::uint32_t message, std::uint32_t requested,
                    std::uint32_t received) override;
    void HandleNotice(std::uint32_t message, std::uint32_t requested, std::uint32_t received);
    void TimerExpired(int id);
    void CheckLinkAndDisplay();
    bool Enqueue(Job job);
    void RunQueue();
    void RunCommand(Job& job);
    void BeginDownload(Job job);
    void DownloadReadEnded(std::uint32_t received);
    void FinishDownload();
    void BeginUpload(Job job);
    void UploadStep();
    void EndTransfer();
    void TryStartPort();

    boost::asio::io_context& io_;
    Port port_;
    Policy& policy_;
    ClientTrace& trace_;
    MemoryProfile profile_;
    Lines lines_;
    DaemonLink link_;
    AsioTimers timers_;
    DisplayComposer composer_;
    ConnectionController controller_;
    boost::asio::steady_timer transferTimer_;
    boost::asio::steady_timer startTimer_;
    std::vector<HubListener*> listeners_;
    std::deque<Job> queue_;
    bool transfer_ = false;
    bool started_ = false;
    bool linkOpen_ = false;
    bool portWaiting_ = false;  // the port could not be opened at start: retried
    std::string top_;
    std::string bottom_;
    std::chrono::steady_clock::time_point lastRefresh_{};
    // The last command sent or byte received: a download waits for a quiet line.
    std::chrono::steady_clock::time_point lastActivity_{};

    // The transfer that holds the line.
    Job current_{};
    std::uint32_t downloadReceived_ = 0;
    std::uint32_t trailing_ = 0;
    bool quietCheck_ = false;
    std::vector<DaemonLink::UploadWrite> uploadWrites_;
    std::size_t uploadNext_ = 0;
};

}  // namespace r512::daemon
