#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/WakePipePosix.h"
#include "simulator/DeviceLine.h"
#include "simulator/DeviceModel.h"
#include "simulator/HostByteParser.h"

namespace r512::sim {

// Faults the simulated device can show, to test that the program copes.
struct Faults {
    enum class NamesReply { Full, Short, None, Slow };

    bool silent = false;   // answers nothing at all (commands are still acted on)
    bool garbage = false;  // a few stray bytes (never 0xFF) before each report
    bool filler = false;   // the two-byte 0xDF 0xFF unit before each report
    int splitDelayMs = 0;  // every byte sent on its own, this far apart
    int replyDelayMs = 0;  // wait this long before answering anything
    NamesReply namesReply = NamesReply::Full;  // Short: 300 bytes; Slow: 64-byte bursts
    // A register report sent with every names reply, this many bytes into it (0: just ahead
    // of it; 1024: right after it), as a key on the device would; negative: none.
    int namesReportAt = -1;
};

// The R512 played on the master side of a pseudo-terminal (or on a real serial port, for a
// null-modem cable check). It takes command frames and the names-memory exchange, acts on
// them through its DeviceModel, reports every changed register as a three-byte frame, and
// records every byte it receives with the time it came, for tests to examine. It is the loop
// that joins three parts: the line (DeviceLine), the reading of the host's bytes
// (HostByteParser) and the device's state (DeviceModel); faults apply to what it sends.
class Simulator {
public:
    using Clock = std::chrono::steady_clock;
    struct ReceivedByte {
        std::uint8_t byte;
        Clock::time_point at;
    };

    // A new pseudo-terminal; PortPath() is its slave side, the program's "serial port".
    static std::unique_ptr<Simulator> OpenPseudoTerminal(std::string* error = nullptr);
    // A TCP server on the given address ("127.0.0.1:4001"; port 0 picks a free one) that plays
    // the device for one client at a time; PortPath() is the program's port name for it,
    // "socket://HOST:PORT" with the port actually bound. A client that comes while another is
    // connected takes its place (the other's connection is closed).
    static std::unique_ptr<Simulator> ListenTcp(const std::string& hostPort,
                                                std::string* error = nullptr);
    // A real serial device at the given speed.
    static std::unique_ptr<Simulator> OpenDevice(const std::string& path, std::uint32_t baud,
                                                 std::string* error = nullptr);
    ~Simulator();

    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The program's side of the line (after Replug, the new one).
    std::string PortPath() const;

    // Keeps a symbolic link at `linkPath` pointing at the line, as /dev/serial/by-id/... points
    // at an adapter: Unplug removes it, Replug points it at the new line, and it goes with the
    // simulator. False (with the reason) when it can't be made.
    bool LinkAs(const std::string& linkPath, std::string* error = nullptr);

    void SetFaults(const Faults& faults);
    Faults GetFaults() const;

    // Where the simulator tells what it receives and sends, in words. None by default.
    void SetLogger(std::function<void(const std::string&)> logger);
    // Whether the logger also gets every byte received, in hex, as it comes in (one line per
    // read from the line: "received 0xE0 0x52 ..."). Off by default.
    void SetByteLogging(bool on);

    // As if a key had been pressed on the device itself: acts on the code and reports.
    void PressKey(std::uint8_t command);
    // Sets a register as the device's own controls would, reporting it when it changed.
    void ChangeRegister(std::uint8_t code, std::uint8_t value);
    // Sends bytes exactly as given (faults do not apply).
    void SendRaw(const std::vector<std::uint8_t>& bytes);
    // Closes the line: the program's side sees a hang-up. Over TCP the client's connection is
    // closed; the server goes on listening, so a client may connect again.
    void HangUp();
    // As if the adapter were pulled out: the line is closed (the program sees a hang-up, then
    // a node that has gone) and the link removed. Over TCP the client's connection is closed
    // and every connection that comes is closed at once until Replug.
    void Unplug();
    // Removes the symbolic link of LinkAs now (the destructor does too): for a program that
    // ends without destroying the simulator.
    void RemoveLink();
    // As if it were plugged in again: a new pseudo-terminal, with the link pointing at it. The
    // device keeps its registers. False (with the reason) when no line could be made.
    bool Replug(std::string* error = nullptr);

    std::uint8_t Register(std::uint8_t code) const;
    std::vector<std::uint8_t> NamesMemory() const;
    void SetNamesMemory(const std::vector<std::uint8_t>& image);

    // What has come in so far.
    std::vector<ReceivedByte> Received() const;
    std::vector<std::uint8_t> Commands() const;  // the codes of the command frames taken
    // Register reports put on the line so far (those of a line that was unplugged before
    // they went out included).
    std::uint64_t ReportsSent() const;
    int UploadsAccepted() const;
    int UploadsRefused() const;
    void ClearRecord();

    // Wait (at most `timeout`) until that many bytes or commands have come in.
    bool WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const;
    bool WaitForCommands(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    struct Outgoing {
        std::uint8_t byte;
        Clock::time_point due;
    };

    explicit Simulator(std::unique_ptr<DeviceLine> line);
    static std::unique_ptr<Simulator> Over(std::unique_ptr<DeviceLine> line);
    void Run();
    void Wake();
    bool ReadLine();  // with lock_ held; false: the client has gone
    void TakeByte(std::uint8_t byte, Clock::time_point at);            // with lock_ held
    void ActOnCommand(std::uint8_t code);                              // with lock_ held
    void SendNames();                                                  // with lock_ held
    void Report(const std::vector<std::uint8_t>& codes);               // with lock_ held
    void Send(const std::vector<std::uint8_t>& bytes, bool decorate);  // with lock_ held
    void Log(const std::string& line);                                 // with lock_ held
    void FlushDue(Clock::time_point now);                              // with lock_ held
    void AcceptClient();                                               // with lock_ held
    // What was to be sent and what was half read go with the line. With lock_ held.
    void LineGone();
    void ClientGone();  // with lock_ held

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::unique_ptr<DeviceLine> line_;  // never null; with lock_ held
    WakePipe wake_;
    DeviceModel model_;
    HostByteParser parser_;
    Faults faults_;
    std::function<void(const std::string&)> logger_;
    std::deque<Outgoing> outgoing_;
    Clock::time_point lastDue_{};
    std::uint32_t garbageSeed_ = 12345;
    std::vector<std::uint8_t> uploadStage_;  // the names memory as an upload is changing it
    bool stop_ = false;
    bool logBytes_ = false;

    // The record kept for tests.
    std::vector<ReceivedByte> received_;
    std::vector<std::uint8_t> commands_;
    std::uint64_t reportsSent_ = 0;
    int uploadsAccepted_ = 0;
    int uploadsRefused_ = 0;

    std::thread thread_;
};

}  // namespace r512::sim
