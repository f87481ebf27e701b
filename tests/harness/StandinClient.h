#pragma once
// Starts the stand-in host (ssp.exe) for a test and drives it.
#include <windows.h>

#include <string>
#include <vector>

#include "harness/ChildProcess.h"
#include "tools/standin/StandinConfig.h"

class StandinClient {
public:
    // Starts ssp.exe with a log of its own under the test's scratch folder
    // plus 'args'; waits for its "Tmainform" window. False on failure.
    bool Start(const std::vector<std::string>& args = {}, const std::string& logName = "host.log");

    HWND Window() const { return m_window; }
    ChildProcess& Process() { return m_process; }
    const std::string& LogPath() const { return m_log; }

    // Sends a control command (see tools/standin/StandinControl.h); true when
    // the host accepted it.
    bool Control(const std::string& command, DWORD timeoutMs = 10000);

    // The records logged so far.
    std::vector<standin::LogRecord> Log() const;
    // Waits until at least 'count' records of 'kind' are logged; returns them.
    std::vector<standin::LogRecord> WaitFor(const std::string& kind, size_t count, DWORD ms) const;

    // Asks the host to close and waits for it.
    void Quit();

private:
    ChildProcess m_process;
    HWND m_window = nullptr;
    std::string m_log;
};
