#include "daemon/DeviceHub.h"

#include <algorithm>
#include <cstring>

#include <boost/asio/post.hpp>

#include "base/SettingsLayout.h"
#include "daemon/NamesDownloadCheck.h"
#include "device/NamesFields.h"

namespace r512::daemon {

namespace {
constexpr std::chrono::milliseconds kUploadPause{10};    // between the upload's writes
constexpr std::chrono::milliseconds kUploadSettle{100};  // before the closing command
constexpr std::chrono::seconds kPortRetry{2};
constexpr std::chrono::seconds kRefreshCoalesce{1};
constexpr int kDownloadAttempts = 2;

std::string Line20(const char* text) {
    std::string line(text, strnlen(text, 20));
    line.resize(20, ' ');
    return line;
}
}  // namespace

int DeviceHub::MemoryProfile::GetProfileInt(const char*, const char* key, int defaultValue) {
    return std::strcmp(key, settings::kSpeed) == 0 ? port_.speed : defaultValue;
}

std::string DeviceHub::MemoryProfile::GetProfileString(const char*, const char* key,
                                                       const char* def) {
    return std::strcmp(key, settings::kPort) == 0 ? port_.name : std::string(def);
}

DeviceHub::DeviceHub(boost::asio::io_context& io, Port port, Policy& policy, ClientTrace& trace)
    : io_(io),
      port_(std::move(port)),
      policy_(policy),
      trace_(trace),
      profile_(port_),
      timers_(io, [this](int id) { TimerExpired(id); }),
      composer_(link_.Mirror(), lines_, timers_),
      controller_(link_, profile_, timers_, composer_, *this),
      transferTimer_(io),
      startTimer_(io) {
    composer_.UpdateDisplay();
    top_ = Line20(composer_.TopLine());
    bottom_ = Line20(composer_.BottomLine());
}

DeviceHub::~DeviceHub() { Stop(); }

void DeviceHub::PostNotice(std::uint32_t message, std::uint32_t requested, std::uint32_t received) {
    // On the link's I/O thread: only hand the notice to the event loop's thread.
    boost::asio::post(
        io_, [this, message, requested, received] { HandleNotice(message, requested, received); });
}

void DeviceHub::Start() {
    started_ = true;
    if (controller_.Connect()) {
        CheckLinkAndDisplay();
        return;
    }
    portWaiting_ = true;
    TryStartPort();
}

void DeviceHub::TryStartPort() {
    startTimer_.expires_after(kPortRetry);
    startTimer_.async_wait([this](const boost::system::error_code& ec) {
        if (ec || !portWaiting_) return;
        if (link_.ReopenPort(port_.name.c_str(), ConnectionController::LineDefinition(port_.speed),
                             this)) {
            portWaiting_ = false;
            link_.RequestRefresh();
            lastRefresh_ = std::chrono::steady_clock::now();
            CheckLinkAndDisplay();
            return;
        }
        TryStartPort();
    });
}

void DeviceHub::Stop() {
    if (!started_) return;
    started_ = false;
    portWaiting_ = false;
    startTimer_.cancel();
    transferTimer_.cancel();
    for (int id = 0; id < 5; ++id) timers_.StopTimer(id);
    link_.ClosePort();
    queue_.clear();
    transfer_ = false;
}

void DeviceHub::AddListener(HubListener* listener) { listeners_.push_back(listener); }

void DeviceHub::RemoveListener(HubListener* listener) { std::erase(listeners_, listener); }

void DeviceHub::HandleNotice(std::uint32_t message, std::uint32_t requested,
                             std::uint32_t received) {
    if (!started_) return;
    const bool downloadRead = message == WM_DEVICE_DATA && link_.NamesPending() &&
                              requested == static_cast<std::uint32_t>(names_layout::kImageSize);
    if (message == WM_DEVICE_DATA && received > 0) {
        lastActivity_ = std::chrono::steady_clock::now();
        if (quietCheck_) trailing_ += received;
    }
    std::array<std::uint8_t, kRegisterCount> before{};
    for (int i = 0; i < kRegisterCount; ++i)
        before[static_cast<std::size_t>(i)] =
            link_.Mirror().Value(static_cast<std::uint8_t>(kFirstRegister + i));
    const bool wasPending = link_.NamesPending();
    const bool frameTaken = controller_.Notice(message, requested, received);
    if (downloadRead && wasPending && !link_.NamesPending()) DownloadReadEnded(received);
    if (message == WM_PORT_FAILED && transfer_ && current_.kind == Job::Kind::Download &&
        !quietCheck_) {
        // The port went while the download was outstanding: nothing more will come.
        downloadReceived_ = 0;
        FinishDownload();
    }
    if (frameTaken) {
        const RegisterFrame frame = controller_.LastFrame();
        if (IsRegisterCode(frame.code)) {
            policy_.NoteReport(frame.code, before[frame.code - kFirstRegister], frame.value);
        }
        if (trace_.Enabled()) {
            const std::uint8_t bytes[3] = {frame.code, frame.value, frame.end};
            trace_.Bytes("device", "<-", bytes, 3, RegisterName(frame.code));
        }
        // A copy of the list: a listener may leave (a client dropped) while it is told.
        const std::vector<HubListener*> listeners = listeners_;
        for (HubListener* listener : listeners) {
            if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
                listener->OnFrame(frame);
        }
    }
    CheckLinkAndDisplay();
}

void DeviceHub::TimerExpired(int id) {
    controller_.TimerExpired(id);
    if (id == kRetryTimer) lastRefresh_ = std::chrono::steady_clock::now();
    CheckLinkAndDisplay();
}

void DeviceHub::CheckLinkAndDisplay() {
    const bool open = link_.IsOpen();
    if (open != linkOpen_) {
        linkOpen_ = open;
        policy_.Forget();
        trace_.Line("device", open ? "link open" : "link lost");
        const std::vector<HubListener*> listeners = listeners_;
        for (HubListener* listener : listeners) {
            if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
                listener->OnLink(open);
        }
    }
    const std::string top = Line20(composer_.TopLine());
    const std::string bottom = Line20(composer_.BottomLine());
    if (top != top_ || bottom != bottom_) {
        top_ = top;
        bottom_ = bottom;
        const std::vector<HubListener*> listeners = listeners_;
        for (HubListener* listener : listeners) {
            if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
                listener->OnDisplay(top_, bottom_);
        }
    }
}

bool DeviceHub::MirrorCurrent() const {
    if (!linkOpen_) return false;
    for (int i = 0; i < kRegisterCount; ++i) {
        if (link_.Mirror().State(static_cast<std::uint8_t>(kFirstRegister + i)) ==
            RegisterState::Pending)
            return false;
    }
    return true;
}

bool DeviceHub::Command(const std::string& client, std::uint8_t code, CommandDone done) {
    Job job;
    job.kind = Job::Kind::Command;
    job.client = client;
    job.code = code;
    job.commandDone = std::move(done);
    return Enqueue(std::move(job));
}

bool DeviceHub::Refresh(const std::string& client) {
    Job job;
    job.kind = Job::Kind::Refresh;
    job.client = client;
    return Enqueue(std::move(job));
}

bool DeviceHub::Download(const std::string& client, DownloadDone done) {
    Job job;
    job.kind = Job::Kind::Download;
    job.client = client;
    job.downloadDone = std::move(done);
    return Enqueue(std::move(job));
}

bool DeviceHub::Upload(const std::string& client, const NamesUpload& upload, UploadDone done) {
    Job job;
    job.kind = Job::Kind::Upload;
    job.client = client;
    job.upload = upload;
    job.uploadDone = std::move(done);
    return Enqueue(std::move(job));
}

bool DeviceHub::Enqueue(Job job) {
    if (queue_.size() >= kMaxQueued) {
        trace_.Line(job.client, "request dropped: too many requests wait");
        return false;
    }
    queue_.push_back(std::move(job));
    if (!transfer_) RunQueue();
    return true;
}

void DeviceHub::RunQueue() {
    while (!transfer_ && !queue_.empty()) {
        Job job = std::move(queue_.front());
        queue_.pop_front();
        switch (job.kind) {
            case Job::Kind::Command:
                RunCommand(job);
                break;
            case Job::Kind::Refresh: {
                const auto now = std::chrono::steady_clock::now();
                const bool awaited =
                    !MirrorCurrent() && linkOpen_ && now - lastRefresh_ < kRefreshCoalesce;
                if (awaited) {
                    trace_.Line(job.client, "refresh: one is under way");
                } else {
                    trace_.Line(job.client, "-> refresh");
                    lastRefresh_ = now;
                    link_.RequestRefresh();
                    CheckLinkAndDisplay();
                }
                break;
            }
            case Job::Kind::Download:
                BeginDownload(std::move(job));
                break;
            case Job::Kind::Upload:
                BeginUpload(std::move(job));
                break;
        }
    }
}

void DeviceHub::RunCommand(Job& job) {
    if (!linkOpen_) {
        trace_.Line(job.client, "command dropped: the link is down");
        if (job.commandDone) job.commandDone(Outcome::LinkDown, "the link to the R512 is down");
        return;
    }
    if (auto reason = policy_.RefuseCommand(job.code, link_.Mirror())) {
        trace_.Line(job.client,
                    "command " + std::string(CommandName(job.code)) + " refused: " + *reason);
        if (job.commandDone) job.commandDone(Outcome::Refused, *reason);
        return;
    }
    if (trace_.Enabled()) {
        const CommandFrame frame = MakeCommandFrame(job.code);
        trace_.Bytes(job.client, "->", frame.data(), frame.size(), CommandName(job.code));
    }
    link_.SendCommand(job.code);
    lastActivity_ = std::chrono::steady_clock::now();
    policy_.NoteSent(job.code);
    if (job.commandDone) job.commandDone(Outcome::Sent, "");
}

void DeviceHub::BeginDownload(Job job) {
    // The download purges what the port has received and not yet read: reports of commands
    // just sent would be lost to every client. So it waits for the line to be quiet first.
    const auto now = std::chrono::steady_clock::now();
    if (job.attempt == 0 && now - lastActivity_ < kQuietTime) {
        current_ = std::move(job);
        transfer_ = true;
        transferTimer_.expires_at(lastActivity_ + kQuietTime);
        transferTimer_.async_wait([this](const boost::system::error_code& ec) {
            if (ec || !transfer_) return;
            Job waiting = std::move(current_);
            transfer_ = false;
            waiting.attempt = 0;
            lastActivity_ = {};
            BeginDownload(std::move(waiting));
        });
        return;
    }
    current_ = std::move(job);
    ++current_.attempt;
    if (!link_.StartDownload()) {
        trace_.Line(current_.client, "names download: the link is down");
        DownloadDone done = std::move(current_.downloadDone);
        if (done) done(nullptr, "the link to the R512 is down");
        return;
    }
    transfer_ = true;
    downloadReceived_ = 0;
    trailing_ = 0;
    quietCheck_ = false;
    trace_.Line(current_.client, "-> DC names download");
    // The wait of the desktop program's download, bounded the same way.
    transferTimer_.expires_after(DeviceLink::kNamesWaitLimit);
    transferTimer_.async_wait([this](const boost::system::error_code& ec) {
        if (ec || !transfer_ || quietCheck_) return;
        link_.DownloadStuck();
    });
}

void DeviceHub::DownloadReadEnded(std::uint32_t received) {
    transferTimer_.cancel();
    downloadReceived_ = received;
    trailing_ = 0;
    quietCheck_ = true;
    // Bytes that follow the reply within the quiet time mean it was shifted.
    transferTimer_.expires_after(kQuietTime);
    transferTimer_.async_wait([this](const boost::system::error_code& ec) {
        if (ec) return;
        FinishDownload();
    });
}

void DeviceHub::FinishDownload() {
    quietCheck_ = false;
    NamesDownloadResult result;
    result.received = downloadReceived_;
    result.trailing = trailing_;
    result.imageValid = names_fields::IsValid(link_.NamesImage());
    // Every download that ended is closed with the end command, as the desktop program does.
    link_.SendCommand(cmd::kNamesTransferDone);
    const bool accepted = NamesDownloadAccepted(result);
    trace_.Line(current_.client, "<- names download: " + std::to_string(result.received) +
                                     " bytes, " + std::to_string(result.trailing) + " after it, " +
                                     (accepted ? "accepted" : "refused"));
    if (!accepted && current_.attempt < kDownloadAttempts && link_.IsOpen()) {
        Job again = std::move(current_);
        transfer_ = false;
        BeginDownload(std::move(again));
        return;
    }
    DownloadDone done = std::move(current_.downloadDone);
    const Image image = link_.NamesImage();
    EndTransfer();
    if (done) {
        if (accepted)
            done(&image, "");
        else
            done(nullptr, "the R512 did not send its names memory whole");
    }
}

void DeviceHub::BeginUpload(Job job) {
    if (!linkOpen_) {
        trace_.Line(job.client, "names upload: the link is down");
        if (job.uploadDone) job.uploadDone(false, "the link to the R512 is down");
        return;
    }
    current_ = std::move(job);
    transfer_ = true;
    uploadWrites_ = link_.PrepareUpload(current_.upload);
    uploadNext_ = 0;
    trace_.Line(current_.client,
                "-> names upload, " + std::to_string(uploadWrites_.size()) + " writes");
    UploadStep();
}

void DeviceHub::UploadStep() {
    if (uploadNext_ < uploadWrites_.size()) {
        if (!link_.QueueUploadWrite(uploadWrites_[uploadNext_])) {
            // Stop short of the end byte: nothing lands at the wrong place in the memory.
            UploadDone done = std::move(current_.uploadDone);
            EndTransfer();
            if (done) done(false, "the link to the R512 went during the upload");
            return;
        }
        ++uploadNext_;
        transferTimer_.expires_after(uploadNext_ < uploadWrites_.size() ? kUploadPause
                                                                        : kUploadSettle);
        transferTimer_.async_wait([this](const boost::system::error_code& ec) {
            if (!ec) UploadStep();
        });
        return;
    }
    link_.SendCommand(cmd::kNamesTransferDone);
    UploadDone done = std::move(current_.uploadDone);
    trace_.Line(current_.client, "names upload sent");
    EndTransfer();
    if (done) done(true, "");
}

void DeviceHub::EndTransfer() {
    transfer_ = false;
    current_ = Job{};
    // What waited behind the transfer goes now, in order; posted, so that the caller's
    // completion is handled first.
    boost::asio::post(io_, [this] {
        if (started_) RunQueue();
    });
}

}  // namespace r512::daemon
