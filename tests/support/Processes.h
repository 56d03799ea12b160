#pragma once
// Starting the real programs and waiting for them.
#include <windows.h>

#include <optional>
#include <string>

namespace r512::testkit {

// A started process; its handles are closed on destruction.
class Process {
public:
    Process() = default;
    explicit Process(HANDLE handle, DWORD id) : handle_(handle), id_(id) {}
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;

    bool Started() const { return handle_ != nullptr; }
    DWORD Id() const { return id_; }
    // The exit code once the process has ended within timeoutMs; nothing if it is still running.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    // Ends a process that a failed test left behind.
    void Kill() const;

private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// Starts program with commandLine (its whole command line, program name included) in
// currentFolder; the environment is the test's own. An empty program leaves it to the system
// to find the program in commandLine, as it does for a command typed or stored in the registry.
Process Start(const std::string& program, const std::string& commandLine,
              const std::string& currentFolder);

// Opens the running process whose file is named fileName (letter case ignored), waiting up to
// timeoutMs for it to appear. Not started if there is none.
Process WaitForProcessNamed(const std::string& fileName, DWORD timeoutMs);

// Waits up to timeoutMs until no process runs from the file programPath (letter case ignored),
// e.g. a copy that the code under test started without waiting for it. False if one still runs.
bool WaitUntilNoProcessRuns(const std::string& programPath, DWORD timeoutMs);

}  // namespace r512::testkit
