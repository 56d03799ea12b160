#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/UniqueFdPosix.h"

namespace r512::sim {

// The device's end of the line: the master side of a pseudo-terminal whose slave side the
// program opens, a real serial port, or a TCP server whose one client is the program. It can
// be hung up, unplugged and plugged in again, and keeps a symbolic link pointing at the line,
// as /dev/serial/by-id/... points at an adapter. Not thread-safe: its owner guards it.
class DeviceLine {
public:
    // Each gives nullptr (with the reason) when the line can't be made.
    static std::unique_ptr<DeviceLine> OpenPseudoTerminal(std::string* error);
    static std::unique_ptr<DeviceLine> ListenTcp(const std::string& hostPort, std::string* error);
    static std::unique_ptr<DeviceLine> OpenDevice(const std::string& path, std::uint32_t baud,
                                                  std::string* error);
    // Closes the line and removes the link.
    ~DeviceLine();

    DeviceLine(const DeviceLine&) = delete;
    DeviceLine& operator=(const DeviceLine&) = delete;

    // The program's port name for the line: a device path or "socket://HOST:PORT".
    const std::string& Path() const { return path_; }
    bool IsTcp() const { return listener_.Valid(); }
    // The descriptor to read and write (over TCP, the client's connection); -1 when closed.
    int Fd() const { return fd_.Get(); }
    // The TCP server's socket; -1 on a serial line.
    int ListenFd() const { return listener_.Get(); }

    ssize_t Read(std::uint8_t* buffer, std::size_t size);
    ssize_t Write(const std::uint8_t* bytes, std::size_t count);

    // Closes the line (over TCP, the client's connection): the program sees a hang-up.
    void Close();

    enum class Accepted { Nothing, Refused, Connected, Replaced };
    // Over TCP, takes the client that is waiting: the newest client takes the line from the
    // one before (Replaced); while unplugged, it is closed at once (Refused).
    Accepted Accept();

    // Points a symbolic link at `linkPath` to the line from now on.
    bool LinkAs(const std::string& linkPath, std::string* error);
    // Points the link (if any) at the line as it is now.
    bool Relink(std::string* error);
    void RemoveLink();

    // As if the adapter were pulled out: the line is closed and the link removed; over TCP,
    // clients are refused until Replug.
    void Unplug();
    // A new pseudo-terminal (or, over TCP, clients taken again). The link is left for Relink.
    bool Replug(std::string* error);

private:
    DeviceLine(UniqueFd fd, UniqueFd slave, std::string path, UniqueFd listener = UniqueFd());
    bool PointLink(std::string* error);

    UniqueFd fd_;
    // A pseudo-terminal's slave side, kept open by the device too: the master then never sees
    // a hang-up between two sessions of the program, and the line is raw (no echo) before the
    // program has opened it.
    UniqueFd slave_;
    UniqueFd listener_;
    std::string path_;
    std::string linkPath_;  // empty: no link
    bool unplugged_ = false;
};

}  // namespace r512::sim
