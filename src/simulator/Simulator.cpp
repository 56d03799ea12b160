#include "simulator/Simulator.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace r512::sim {

namespace {

std::string Hex(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

}  // namespace

std::unique_ptr<Simulator> Simulator::Over(std::unique_ptr<DeviceLine> line) {
    return line ? std::unique_ptr<Simulator>(new Simulator(std::move(line))) : nullptr;
}

std::unique_ptr<Simulator> Simulator::OpenPseudoTerminal(std::string* error) {
    return Over(DeviceLine::OpenPseudoTerminal(error));
}

std::unique_ptr<Simulator> Simulator::ListenTcp(const std::string& hostPort, std::string* error) {
    return Over(DeviceLine::ListenTcp(hostPort, error));
}

std::unique_ptr<Simulator> Simulator::OpenDevice(const std::string& path, std::uint32_t baud,
                                                 std::string* error) {
    return Over(DeviceLine::OpenDevice(path, baud, error));
}

Simulator::Simulator(std::unique_ptr<DeviceLine> line) : line_(std::move(line)) {
    wake_.Create();
    thread_ = std::thread(&Simulator::Run, this);
}

Simulator::~Simulator() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        stop_ = true;
    }
    Wake();
    thread_.join();
}

void Simulator::Wake() { wake_.Wake(); }

std::string Simulator::PortPath() const {
    std::lock_guard<std::mutex> guard(lock_);
    return line_->Path();
}

bool Simulator::LinkAs(const std::string& linkPath, std::string* error) {
    std::lock_guard<std::mutex> guard(lock_);
    return line_->LinkAs(linkPath, error);
}

void Simulator::LineGone() {
    outgoing_.clear();
    lastDue_ = {};  // what was still to go has gone with the line
    parser_.Reset();
}

void Simulator::Unplug() {
    std::lock_guard<std::mutex> guard(lock_);
    Log("unplugged");
    line_->Unplug();
    LineGone();
    Wake();
}

void Simulator::RemoveLink() {
    std::lock_guard<std::mutex> guard(lock_);
    line_->RemoveLink();
}

bool Simulator::Replug(std::string* error) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!line_->Replug(error)) return false;
    if (line_->IsTcp()) {
        Log("plugged in again");
        return true;
    }
    Log("plugged in again as " + line_->Path());
    const bool linked = line_->Relink(error);
    Wake();
    return linked;
}

void Simulator::AcceptClient() {
    switch (line_->Accept()) {
        case DeviceLine::Accepted::Nothing:
            return;
        case DeviceLine::Accepted::Refused:
            Log("client refused: unplugged");
            return;
        case DeviceLine::Accepted::Replaced:
            Log("client disconnected");
            LineGone();
            break;
        case DeviceLine::Accepted::Connected:
            break;
    }
    Log("client connected");
}

void Simulator::ClientGone() {
    Log("client disconnected");
    line_->Close();
    LineGone();
}

void Simulator::SetFaults(const Faults& faults) {
    std::lock_guard<std::mutex> guard(lock_);
    faults_ = faults;
}

Faults Simulator::GetFaults() const {
    std::lock_guard<std::mutex> guard(lock_);
    return faults_;
}

void Simulator::SetLogger(std::function<void(const std::string&)> logger) {
    std::lock_guard<std::mutex> guard(lock_);
    logger_ = std::move(logger);
}

void Simulator::SetByteLogging(bool on) {
    std::lock_guard<std::mutex> guard(lock_);
    logBytes_ = on;
}

void Simulator::Log(const std::string& line) {
    if (logger_) logger_(line);
}

void Simulator::PressKey(std::uint8_t command) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        Log("front panel: " + Hex(command) + " " + CommandName(command));
        Report(model_.Apply(command));
    }
    Wake();
}

void Simulator::ChangeRegister(std::uint8_t code, std::uint8_t value) {
    if (!IsRegisterCode(code)) return;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (model_.Register(code) == value) return;
        model_.SetRegister(code, value);
        Report({code});
    }
    Wake();
}

void Simulator::SendRaw(const std::vector<std::uint8_t>& bytes) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        Send(bytes, false);
    }
    Wake();
}

void Simulator::HangUp() {
    std::lock_guard<std::mutex> guard(lock_);
    Log("hanging up");
    line_->Close();
    LineGone();
    Wake();
}

std::uint8_t Simulator::Register(std::uint8_t code) const {
    std::lock_guard<std::mutex> guard(lock_);
    return IsRegisterCode(code) ? model_.Register(code) : 0;
}

std::vector<std::uint8_t> Simulator::NamesMemory() const {
    std::lock_guard<std::mutex> guard(lock_);
    return {model_.Names().begin(), model_.Names().end()};
}

void Simulator::SetNamesMemory(const std::vector<std::uint8_t>& image) {
    std::lock_guard<std::mutex> guard(lock_);
    std::copy_n(image.begin(), std::min(image.size(), model_.Names().size()),
                model_.Names().begin());
}

std::vector<Simulator::ReceivedByte> Simulator::Received() const {
    std::lock_guard<std::mutex> guard(lock_);
    return received_;
}

std::vector<std::uint8_t> Simulator::Commands() const {
    std::lock_guard<std::mutex> guard(lock_);
    return commands_;
}

std::uint64_t Simulator::ReportsSent() const {
    std::lock_guard<std::mutex> guard(lock_);
    return reportsSent_;
}

int Simulator::UploadsAccepted() const {
    std::lock_guard<std::mutex> guard(lock_);
    return uploadsAccepted_;
}

int Simulator::UploadsRefused() const {
    std::lock_guard<std::mutex> guard(lock_);
    return uploadsRefused_;
}

void Simulator::ClearRecord() {
    std::lock_guard<std::mutex> guard(lock_);
    received_.clear();
    commands_.clear();
}

bool Simulator::WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, timeout, [&] { return received_.size() >= count; });
}

bool Simulator::WaitForCommands(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, timeout, [&] { return commands_.size() >= count; });
}

void Simulator::Report(const std::vector<std::uint8_t>& codes) {
    for (std::uint8_t code : codes) {
        const std::uint8_t value = model_.Register(code);
        if (faults_.silent) {
            Log(std::string("(silent) ") + RegisterName(code) + " = " + std::to_string(value));
            continue;
        }
        Log(std::string("reports ") + RegisterName(code) + " = " + std::to_string(value));
        Send({code, value, kFrameEnd}, true);
        ++reportsSent_;
    }
}

void Simulator::Send(const std::vector<std::uint8_t>& bytes, bool decorate) {
    std::vector<std::uint8_t> line;
    if (decorate && faults_.garbage) {
        garbageSeed_ = garbageSeed_ * 1103515245u + 12345u;
        const int count = 1 + static_cast<int>((garbageSeed_ >> 16) % 3);
        for (int i = 0; i < count; ++i) {
            garbageSeed_ = garbageSeed_ * 1103515245u + 12345u;
            // Never 0xFF (it would end a frame) and never the filler's first byte.
            line.push_back(static_cast<std::uint8_t>((garbageSeed_ >> 16) % 0xDF));
        }
    }
    if (decorate && faults_.filler) {
        line.push_back(kFillerFirst);
        line.push_back(kFrameEnd);
    }
    line.insert(line.end(), bytes.begin(), bytes.end());

    Clock::time_point due =
        std::max(Clock::now() + std::chrono::milliseconds(faults_.replyDelayMs), lastDue_);
    for (std::uint8_t byte : line) {
        if (faults_.splitDelayMs > 0) due += std::chrono::milliseconds(faults_.splitDelayMs);
        outgoing_.push_back({byte, due});
    }
    lastDue_ = due;
}

void Simulator::ActOnCommand(std::uint8_t code) {
    commands_.push_back(code);
    Log("command " + Hex(code) + " " + CommandName(code));
    Report(model_.Apply(code));
}

void Simulator::TakeByte(std::uint8_t byte, Clock::time_point at) {
    using Kind = HostByte::Kind;
    received_.push_back({byte, at});
    const HostByte meaning = parser_.Take(byte);
    if (meaning.abandonsUpload) {
        ++uploadsRefused_;
        Log("upload abandoned at byte " + Hex(byte));
    }
    switch (meaning.kind) {
        case Kind::Pending:
            break;
        case Kind::Command:
            ActOnCommand(meaning.value);
            break;
        case Kind::NamesRequest:
            SendNames();
            break;
        case Kind::UploadOpened:
            uploadStage_.assign(model_.Names().begin(), model_.Names().end());
            break;
        case Kind::UploadByte:
            uploadStage_[static_cast<std::size_t>(meaning.offset)] = meaning.value;
            break;
        case Kind::UploadEnd:
            std::copy(uploadStage_.begin(), uploadStage_.end(), model_.Names().begin());
            ++uploadsAccepted_;
            Log("upload stored");
            break;
        case Kind::WrongKey:
            ++uploadsRefused_;
            Log("upload refused: wrong write key");
            break;
        case Kind::Stray:
            Log("stray byte " + Hex(byte));
            break;
    }
}

void Simulator::SendNames() {
    Log("names download requested");
    const auto& image = model_.Names();
    std::size_t count = image.size();
    if (faults_.namesReply == Faults::NamesReply::Short) count = 300;
    if (faults_.namesReply == Faults::NamesReply::None) count = 0;
    std::vector<std::uint8_t> bytes(image.begin(), image.begin() + count);
    if (faults_.namesReportAt >= 0) {
        // A report of the volume that comes with the reply, that many bytes into it.
        const std::size_t at = std::min(static_cast<std::size_t>(faults_.namesReportAt), count);
        const std::uint8_t report[] = {RS_VOLUME, model_.Register(RS_VOLUME), kFrameEnd};
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), std::begin(report),
                     std::end(report));
        ++reportsSent_;
    }
    if (faults_.namesReply == Faults::NamesReply::Slow) {
        // Bursts of 64 bytes, 50 ms apart: slower than the line, within the read's pace.
        Clock::time_point due = std::max(Clock::now(), lastDue_);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i % 64 == 0) due += std::chrono::milliseconds(50);
            outgoing_.push_back({bytes[i], due});
        }
        lastDue_ = due;
    } else if (!bytes.empty()) {
        Send(bytes, false);
    }
}

void Simulator::FlushDue(Clock::time_point now) {
    while (!outgoing_.empty() && outgoing_.front().due <= now && line_->Fd() >= 0) {
        // Send every byte that is due in one write.
        std::vector<std::uint8_t> batch;
        for (const Outgoing& item : outgoing_) {
            if (item.due > now) break;
            batch.push_back(item.byte);
        }
        const ssize_t n = line_->Write(batch.data(), batch.size());
        if (n <= 0) return;  // the line is full: try again when it can take more
        outgoing_.erase(outgoing_.begin(), outgoing_.begin() + n);
    }
}

bool Simulator::ReadLine() {
    std::uint8_t buffer[256];
    const ssize_t n = line_->Read(buffer, sizeof buffer);
    if (line_->IsTcp() && (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))) {
        ClientGone();  // the client closed its end, or the connection broke
        return false;
    }
    const Clock::time_point at = Clock::now();
    if (logBytes_ && n > 0) {
        std::string line = "received";
        for (ssize_t i = 0; i < n; ++i) {
            // Appended piece by piece: `" " + Hex(...)` makes GCC 12 at -O3 warn
            // (-Wrestrict) about a copy it only imagines.
            line += ' ';
            line += Hex(buffer[i]);
        }
        Log(line);
    }
    for (ssize_t i = 0; i < n; ++i) TakeByte(buffer[i], at);
    if (n > 0) changed_.notify_all();
    return true;
}

void Simulator::Run() {
    std::unique_lock<std::mutex> guard(lock_);
    while (!stop_) {
        const Clock::time_point now = Clock::now();
        FlushDue(now);

        const int lineFd = line_->Fd();
        pollfd fds[3] = {
            {wake_.ReadEnd(), POLLIN, 0}, {lineFd, POLLIN, 0}, {line_->ListenFd(), POLLIN, 0}};
        int timeout = -1;
        if (!outgoing_.empty() && lineFd >= 0) {
            if (outgoing_.front().due <= now) {
                // Due but not taken: the line is full. Wait until it can take more.
                fds[1].events |= POLLOUT;
                timeout = 100;
            } else {
                const auto wait =
                    std::chrono::ceil<std::chrono::milliseconds>(outgoing_.front().due - now);
                timeout = static_cast<int>(wait.count());
            }
        }
        // A closed line is polled as a negative descriptor, which poll() skips.
        const nfds_t count = line_->IsTcp() ? 3 : lineFd >= 0 ? 2 : 1;

        guard.unlock();
        const int ready = ::poll(fds, count, timeout);
        guard.lock();
        if (count == 3 && (fds[2].revents & POLLIN)) AcceptClient();
        if (ready < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) wake_.Drain();
        // The line may have been closed or replaced while the lock was let go.
        const bool sameLine = count >= 2 && lineFd >= 0 && line_->Fd() == lineFd;
        if (sameLine && (fds[1].revents & POLLIN) && !ReadLine()) continue;
        if (sameLine && (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) &&
            !(fds[1].revents & POLLIN)) {
            if (line_->IsTcp()) {
                ClientGone();
                continue;
            }
            // Only a real serial port can get here (the simulator holds the pseudo-terminal's
            // other side open): stop watching a line that has gone.
            Log("line lost");
            line_->Close();
        }
    }
}

}  // namespace r512::sim
