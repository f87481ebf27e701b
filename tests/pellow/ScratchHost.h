#pragma once
// A stand-in host process started from a private copy of ssp.exe, so that
// tests do not share a host, and so that a "Tmainform" window can live in a
// process under another executable name.
#include <windows.h>

#include <string>
#include <vector>

#include "harness/ChildProcess.h"

class ScratchHost {
public:
    ScratchHost() = default;
    ~ScratchHost();
    ScratchHost(const ScratchHost&) = delete;
    ScratchHost& operator=(const ScratchHost&) = delete;

    // Copies ssp.exe to a fresh folder as 'exeName' and starts it with
    // 'args' (no presence mutex, position queries 132 answered 150,40);
    // waits for its "Tmainform" window. False on failure.
    bool Start(const std::string& exeName, const std::vector<std::string>& args = {});

    HWND Window() const { return m_window; }
    DWORD Id() const { return m_process.Id(); }
    const std::string& ExePath() const { return m_exePath; }
    bool Running() const { return m_process.Running(); }
    DWORD ExitCode() const { return m_process.ExitCode(); }

    // Sends a control command; returns the host's answer, or -1 when the
    // send failed.
    LRESULT Control(const std::string& command, DWORD timeoutMs = 10000) const;
    // The "proc" command: 1 own procedure, 2 replaced, 0 no window, -1 no answer.
    LRESULT Procedure(int index) const { return Control("proc " + std::to_string(index)); }

    // True when the host window answers a position query with the
    // configured value: its message loop and its own procedure work.
    bool AnswersQueries() const;

    // Every top-level "Tmainform" window of the process.
    std::vector<HWND> HostWindows() const;

private:
    ChildProcess m_process;
    HWND m_window = nullptr;
    std::string m_exePath;
};
