#pragma once
// A Windows process started by a test, ended when the object goes away.
#include <windows.h>

#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts 'exe' with the arguments (each quoted); false when it cannot start.
    bool Start(const std::string& exe, const std::vector<std::string>& args,
               const std::string& workDir = std::string());
    // Waits up to 'ms' for the process to end; true when it ended.
    bool Wait(DWORD ms);
    // The exit code, or STILL_ACTIVE.
    DWORD ExitCode() const;
    void Kill();
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }
    bool Running() const;

    // The first visible-or-not top-level window of the process with this
    // class name, waiting up to 'ms' for it to appear; nullptr if none.
    HWND FindWindowOfClass(const char* className, DWORD ms) const;

private:
    PROCESS_INFORMATION m_info{};
};
