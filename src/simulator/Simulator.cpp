#include "simulator/Simulator.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "serial/LineDefinition.h"
#include "serial/PosixPortSpeed.h"
#include "simulator/PseudoTerminal.h"

namespace r512::sim {

namespace {

std::string Hex(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text + ": " + std::strerror(errno);
}

}  // namespace

std::unique_ptr<Simulator> Simulator::OpenPseudoTerminal(std::string* error) {
    // The simulator keeps the slave side open itself: the master then never sees a hang-up
    // between two sessions of the program, and the line is raw (no echo) before the program
    // has opened it.
    PseudoTerminal line;
    if (!line.Valid()) {
        if (error) *error = line.Error();
        return nullptr;
    }
    const std::string path = line.Path();
    return std::unique_ptr<Simulator>(new Simulator(line.TakeMaster(), line.TakeSlave(), path));
}

std::unique_ptr<Simulator> Simulator::ListenTcp(const std::string& hostPort, std::string* error) {
    const std::size_t colon = hostPort.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == hostPort.size()) {
        if (error) *error = "--tcp needs HOST:PORT, e.g. 127.0.0.1:4001";
        return nullptr;
    }
    std::string host = hostPort.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const std::string port = hostPort.substr(colon + 1);
    // getaddrinfo would take 65536 as port 0 (any free port) and a name as a service.
    if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
        std::stol(port) > 65535) {
        if (error) *error = hostPort + ": the port must be a number from 0 to 65535";
        return nullptr;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (const int failed = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found)) {
        if (error) *error = hostPort + ": " + ::gai_strerror(failed);
        return nullptr;
    }
    UniqueFd listener;
    for (addrinfo* candidate = found; candidate != nullptr && !listener;
         candidate = candidate->ai_next) {
        UniqueFd fd(::socket(candidate->ai_family,
                             candidate->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (!fd) continue;
        const int on = 1;
        ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd.Get(), candidate->ai_addr, candidate->ai_addrlen) == 0 &&
            ::listen(fd.Get(), 4) == 0) {
            listener = std::move(fd);
        } else {
            SetError(error, "listen on " + hostPort);
        }
    }
    ::freeaddrinfo(found);
    if (!listener) return nullptr;

    // The port name the program uses, with the port that was actually bound.
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    ::getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&bound), &size);
    char address[INET6_ADDRSTRLEN] = "";
    unsigned boundPort = 0;
    std::string name;
    if (bound.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(bound);
        ::inet_ntop(AF_INET6, &v6.sin6_addr, address, sizeof address);
        boundPort = ntohs(v6.sin6_port);
        name = std::string("socket://[") + address + "]:" + std::to_string(boundPort);
    } else {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(bound);
        ::inet_ntop(AF_INET, &v4.sin_addr, address, sizeof address);
        boundPort = ntohs(v4.sin_port);
        name = std::string("socket://") + address + ":" + std::to_string(boundPort);
    }
    return std::unique_ptr<Simulator>(
        new Simulator(UniqueFd(), UniqueFd(), name, std::move(listener)));
}

std::unique_ptr<Simulator> Simulator::OpenDevice(const std::string& path, std::uint32_t baud,
                                                 std::string* error) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        SetError(error, "open " + path);
        return nullptr;
    }
    LineSettings line;
    line.baud = baud;
    if (!posix::ApplyLineSettings(fd.Get(), line)) {
        SetError(error, "configure " + path);
        return nullptr;
    }
    return std::unique_ptr<Simulator>(new Simulator(std::move(fd), UniqueFd(), path));
}

Simulator::Simulator(UniqueFd fd, UniqueFd slaveFd, std::string path, UniqueFd listenFd)
    : fd_(std::move(fd)),
      slaveFd_(std::move(slaveFd)),
      listenFd_(std::move(listenFd)),
      portPath_(std::move(path)) {
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
    std::lock_guard<std::mutex> guard(lock_);
    CloseLine();
    if (!linkPath_.empty()) ::unlink(linkPath_.c_str());
}

void Simulator::CloseLine() {
    fd_.Reset();
    slaveFd_.Reset();
}

void Simulator::Wake() { wake_.Wake(); }

std::string Simulator::PortPath() const {
    std::lock_guard<std::mutex> guard(lock_);
    return portPath_;
}

bool Simulator::PointLink(std::string* error) {
    ::unlink(linkPath_.c_str());
    if (::symlink(portPath_.c_str(), linkPath_.c_str()) == 0) return true;
    SetError(error, "cannot link " + linkPath_);
    return false;
}

bool Simulator::LinkAs(const std::string& linkPath, std::string* error) {
    std::lock_guard<std::mutex> guard(lock_);
    linkPath_ = linkPath;
    return PointLink(error);
}

void Simulator::Unplug() {
    std::lock_guard<std::mutex> guard(lock_);
    Log("unplugged");
    CloseLine();
    outgoing_.clear();
    lastDue_ = {};  // what was still to go has gone with the line
    rx_ = RxState::Idle;
    unplugged_ = true;  // over TCP, connections are closed as they come until Replug
    if (!linkPath_.empty()) ::unlink(linkPath_.c_str());
    Wake();
}

void Simulator::RemoveLink() {
    std::lock_guard<std::mutex> guard(lock_);
    if (!linkPath_.empty()) ::unlink(linkPath_.c_str());
    linkPath_.clear();
}

bool Simulator::Replug(std::string* error) {
    if (listenFd_) {
        // Over TCP the server has listened all along: the next client takes the line.
        std::lock_guard<std::mutex> guard(lock_);
        hungUp_ = false;
        unplugged_ = false;
        Log("plugged in again");
        return true;
    }
    PseudoTerminal line;
    if (!line.Valid()) {
        if (error) *error = line.Error();
        return false;
    }
    std::lock_guard<std::mutex> guard(lock_);
    CloseLine();
    fd_ = line.TakeMaster();
    slaveFd_ = line.TakeSlave();
    portPath_ = line.Path();
    hungUp_ = false;
    Log("plugged in again as " + portPath_);
    const bool linked = linkPath_.empty() || PointLink(error);
    Wake();
    return linked;
}

void Simulator::AcceptClient() {
    UniqueFd client(::accept4(listenFd_.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!client) return;
    if (unplugged_) {
        // Nothing at the other end of the cable: the connection is closed at once, as a
        // bridge with no device would.
        Log("client refused: unplugged");
        return;
    }
    if (fd_) {
        // One client at a time, as a serial line has one other end: the newest takes the line.
        // (An earlier client that has just closed its end may not have been noticed yet.)
        ClientGone();
    }
    const int on = 1;
    ::setsockopt(client.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    Log("client connected");
    fd_ = std::move(client);
    hungUp_ = false;
}

void Simulator::ClientGone() {
    Log("client disconnected");
    CloseLine();
    outgoing_.clear();
    lastDue_ = {};
    rx_ = RxState::Idle;
}

ssize_t Simulator::WriteLine(const std::uint8_t* bytes, std::size_t count) {
    // A client that has gone must not end the simulator with SIGPIPE.
    if (listenFd_) return ::send(fd_.Get(), bytes, count, MSG_NOSIGNAL);
    return ::write(fd_.Get(), bytes, count);
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
    hungUp_ = true;
    CloseLine();
    outgoing_.clear();
    lastDue_ = {};
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
    received_.push_back({byte, at});
    switch (rx_) {
        case RxState::Idle:
            break;
        case RxState::CommandR:
            if (byte == 'R') {
                rx_ = RxState::CommandS;
                return;
            }
            break;
        case RxState::CommandS:
            if (byte == 'S') {
                rx_ = RxState::CommandBang;
                return;
            }
            break;
        case RxState::CommandBang:
            if (byte == '!') {
                rx_ = RxState::CommandCode;
                return;
            }
            break;
        case RxState::CommandCode:
            rx_ = RxState::Idle;
            ActOnCommand(byte);
            return;
        case RxState::UploadKey:
            if (byte == names_bytes::kWriteKey[static_cast<std::size_t>(rxCount_)]) {
                if (++rxCount_ == static_cast<int>(names_bytes::kWriteKey.size())) {
                    rx_ = RxState::UploadSection;
                    uploadStage_.assign(model_.Names().begin(), model_.Names().end());
                }
                return;
            }
            ++uploadsRefused_;
            Log("upload refused: wrong write key");
            rx_ = RxState::Idle;
            return;
        case RxState::UploadSection: {
            int length = 0;
            if (byte == names_bytes::kSourceNames) length = names_layout::kSourceTableLength;
            if (byte == names_bytes::kWelcomeMessage) length = names_layout::kMessageLength;
            if (byte == names_bytes::kStandbyMessage) length = names_layout::kMessageLength;
            if (byte == names_bytes::kUploadEnd) {
                std::copy(uploadStage_.begin(), uploadStage_.end(), model_.Names().begin());
                ++uploadsAccepted_;
                Log("upload stored");
                rx_ = RxState::Idle;
                return;
            }
            if (length == 0) {
                ++uploadsRefused_;
                Log("upload abandoned at byte " + Hex(byte));
                rx_ = RxState::Idle;
                break;
            }
            uploadSection_ = byte;
            rxCount_ = 0;
            rx_ = RxState::UploadData;
            return;
        }
        case RxState::UploadData: {
            const int offset =
                uploadSection_ == names_bytes::kSourceNames      ? names_layout::kSourceTableOffset
                : uploadSection_ == names_bytes::kWelcomeMessage ? names_layout::kWelcomeOffset
                                                                 : names_layout::kStandbyOffset;
            const int length = uploadSection_ == names_bytes::kSourceNames
                                   ? names_layout::kSourceTableLength
                                   : names_layout::kMessageLength;
            uploadStage_[static_cast<std::size_t>(offset + rxCount_)] = byte;
            if (++rxCount_ == length) rx_ = RxState::UploadSection;
            return;
        }
    }

    // A byte that starts something new (or stands alone).
    rx_ = RxState::Idle;
    if (byte == kCommandStart) {
        rx_ = RxState::CommandR;
    } else if (byte == names_bytes::kDownloadRequest) {
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
    } else if (byte == names_bytes::kUploadStart) {
        rx_ = RxState::UploadKey;
        rxCount_ = 0;
    } else {
        Log("stray byte " + Hex(byte));
    }
}

void Simulator::FlushDue(Clock::time_point now) {
    while (!outgoing_.empty() && outgoing_.front().due <= now && fd_) {
        // Send every byte that is due in one write.
        std::vector<std::uint8_t> batch;
        for (const Outgoing& item : outgoing_) {
            if (item.due > now) break;
            batch.push_back(item.byte);
        }
        const ssize_t n = WriteLine(batch.data(), batch.size());
        if (n <= 0) return;  // the line is full: try again when it can take more
        outgoing_.erase(outgoing_.begin(), outgoing_.begin() + n);
    }
}

void Simulator::Run() {
    std::unique_lock<std::mutex> guard(lock_);
    while (!stop_) {
        const Clock::time_point now = Clock::now();
        FlushDue(now);

        pollfd fds[3] = {
            {wake_.ReadEnd(), POLLIN, 0}, {fd_.Get(), POLLIN, 0}, {listenFd_.Get(), POLLIN, 0}};
        int timeout = -1;
        if (!outgoing_.empty() && fd_) {
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
        const nfds_t count = listenFd_ ? 3 : fd_ ? 2 : 1;

        guard.unlock();
        const int ready = ::poll(fds, count, timeout);
        guard.lock();
        if (count == 3 && (fds[2].revents & POLLIN)) AcceptClient();
        if (ready < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) wake_.Drain();
        // The line may have been closed or replaced while the lock was let go.
        const bool sameLine = count >= 2 && fd_ && fds[1].fd == fd_.Get();
        if (sameLine && (fds[1].revents & POLLIN)) {
            std::uint8_t buffer[256];
            const ssize_t n = ::read(fd_.Get(), buffer, sizeof buffer);
            if (listenFd_ && (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))) {
                ClientGone();  // the client closed its end, or the connection broke
                continue;
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
        }
        if (sameLine && (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) &&
            !(fds[1].revents & POLLIN)) {
            if (listenFd_) {
                ClientGone();
                continue;
            }
            // Only a real serial port can get here (the simulator holds the pseudo-terminal's
            // other side open): stop watching a line that has gone.
            Log("line lost");
            CloseLine();
        }
    }
}

}  // namespace r512::sim
