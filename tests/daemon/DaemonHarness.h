#pragma once

// The real r512d as a child process, and clients that talk to it over loopback sockets.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace r512::test {

using Millis = std::chrono::milliseconds;

// Polls `condition` until it holds (true) or `timeout` passes (false).
bool WaitFor(const std::function<bool()>& condition, Millis timeout);

// r512d started with the given arguments; its standard error is collected.
class DaemonProcess {
public:
    explicit DaemonProcess(const std::vector<std::string>& args);
    ~DaemonProcess();

    bool Running() const { return pid_ > 0; }
    // The port of the first "<kind> clients on HOST:PORT" line ("raw", "json"); 0 if none came.
    int PortOf(const std::string& kind, Millis timeout = Millis(5000));
    bool LogHas(const std::string& text, Millis timeout);
    std::string Log() const;
    // Sends a signal; `Wait` then gives the exit status (-1 if it didn't end in time).
    void Signal(int number);
    int Wait(Millis timeout);
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int stderrFd_ = -1;
    std::thread reader_;
    mutable std::mutex lock_;
    std::string log_;
};

// A raw client: bytes as a device would send them.
class RawPeer {
public:
    // Connects to 127.0.0.1:port, from `source` if given; a small receive buffer if asked.
    explicit RawPeer(int port, const char* source = nullptr, int receiveBuffer = 0);
    ~RawPeer();
    bool Connected() const { return fd_ >= 0; }
    bool Send(const std::vector<std::uint8_t>& bytes);
    bool SendCommand(std::uint8_t code);
    // Reads what has come (at most `timeout` waiting for more) into Received().
    void Pump(Millis timeout);
    bool WaitForBytes(std::size_t count, Millis timeout);
    // True when the daemon has closed the connection.
    bool WaitForClose(Millis timeout);
    std::vector<std::uint8_t>& Received() { return received_; }
    int Fd() const { return fd_; }

private:
    int fd_ = -1;
    bool closed_ = false;
    std::vector<std::uint8_t> received_;
};

// A JSON client: one object a line.
class JsonPeer {
public:
    explicit JsonPeer(int port);
    ~JsonPeer();
    bool Connected() const { return fd_ >= 0; }
    bool Send(const std::string& line);
    // The next line that contains `text`, waiting at most `timeout`; "" if none came. Lines
    // before it are kept in Lines().
    std::string WaitForLine(const std::string& text, Millis timeout);
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    int fd_ = -1;
    std::string partial_;
    std::vector<std::string> lines_;
    std::size_t searched_ = 0;
};

// Splits bytes into three-byte frames; false when they aren't all frames ending in 0xFF.
bool AllFrames(const std::vector<std::uint8_t>& bytes);

}  // namespace r512::test
