#include "support/Processes.h"

#include <tlhelp32.h>

#include <vector>

#include "support/Waiting.h"

namespace r512::testkit {

Process::~Process() {
    if (handle_ != nullptr) CloseHandle(handle_);
}

Process::Process(Process&& other) noexcept : handle_(other.handle_), id_(other.id_) {
    other.handle_ = nullptr;
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        if (handle_ != nullptr) CloseHandle(handle_);
        handle_ = other.handle_;
        id_ = other.id_;
        other.handle_ = nullptr;
    }
    return *this;
}

std::optional<DWORD> Process::WaitForExit(DWORD timeoutMs) const {
    if (handle_ == nullptr || WaitForSingleObject(handle_, timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(handle_, &code);
    return code;
}

void Process::Kill() const {
    if (handle_ != nullptr) TerminateProcess(handle_, 99);
}

Process Start(const std::string& program, const std::string& commandLine,
              const std::string& currentFolder) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.empty() ? nullptr : program.c_str(), line.data(), nullptr, nullptr,
                        FALSE, 0, nullptr, currentFolder.c_str(), &startup, &process)) {
        return Process();
    }
    CloseHandle(process.hThread);
    return Process(process.hProcess, process.dwProcessId);
}

Process WaitForProcessNamed(const std::string& fileName, DWORD timeoutMs) {
    Process found;
    WaitUntil(
        [&] {
            HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
            if (snapshot == INVALID_HANDLE_VALUE) return false;
            PROCESSENTRY32 entry = {};
            entry.dwSize = sizeof(entry);
            for (BOOL more = Process32First(snapshot, &entry); more;
                 more = Process32Next(snapshot, &entry)) {
                if (lstrcmpiA(entry.szExeFile, fileName.c_str()) == 0) {
                    HANDLE handle = OpenProcess(
                        SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                        entry.th32ProcessID);
                    if (handle != nullptr) {
                        found = Process(handle, entry.th32ProcessID);
                        break;
                    }
                }
            }
            CloseHandle(snapshot);
            return found.Started();
        },
        timeoutMs);
    return found;
}

namespace {

bool AnyProcessRuns(const std::string& programPath) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return true;  // can't tell: keep waiting
    bool runs = false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more && !runs;
         more = Process32Next(snapshot, &entry)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (process == nullptr) continue;
        char image[MAX_PATH];
        DWORD size = MAX_PATH;
        runs = QueryFullProcessImageNameA(process, 0, image, &size) &&
               lstrcmpiA(image, programPath.c_str()) == 0;
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return runs;
}

}  // namespace

bool WaitUntilNoProcessRuns(const std::string& programPath, DWORD timeoutMs) {
    // The name as the system spells it, so that "\\" and short names compare equal.
    char fullPath[MAX_PATH];
    const DWORD length = GetFullPathNameA(programPath.c_str(), MAX_PATH, fullPath, nullptr);
    const std::string path = length > 0 && length < MAX_PATH ? fullPath : programPath;
    return WaitUntil([&] { return !AnyProcessRuns(path); }, timeoutMs);
}

}  // namespace r512::testkit
