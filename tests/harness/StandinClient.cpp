#include "harness/StandinClient.h"

#include "harness/TestEnv.h"
#include "tools/standin/StandinControl.h"

bool StandinClient::Start(const std::vector<std::string>& args, const std::string& logName)
{
    m_log = testenv::Join(testenv::TempDir(), logName);
    DeleteFileA(m_log.c_str());
    std::vector<std::string> all{"--log", m_log};
    all.insert(all.end(), args.begin(), args.end());
    if (!m_process.Start(testenv::Join(testenv::ToolsDir(), "ssp.exe"), all)) return false;
    m_window = m_process.FindWindowOfClass("Tmainform", 15000);
    if (!m_window) return false;
    // The window exists before the host has shaped and shown it; a message
    // sent from another thread is taken only once it runs its message loop.
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(m_window, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &ignored) != 0;
}

bool StandinClient::Control(const std::string& command, DWORD timeoutMs)
{
    COPYDATASTRUCT cds{};
    cds.dwData = standin::kControlData;
    cds.cbData = static_cast<DWORD>(command.size());
    cds.lpData = const_cast<char*>(command.c_str());
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(m_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL,
                             timeoutMs, &result))
        return false;
    return result == 1;
}

std::vector<standin::LogRecord> StandinClient::Log() const
{
    return standin::ParseLog(testenv::ReadFile(m_log));
}

std::vector<standin::LogRecord> StandinClient::WaitFor(const std::string& kind, size_t count, DWORD ms) const
{
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<standin::LogRecord> found;
        for (const auto& record : Log())
            if (record.kind == kind) found.push_back(record);
        if (found.size() >= count || GetTickCount() - start > ms) return found;
        Sleep(20);
    }
}

void StandinClient::Quit()
{
    if (m_window) PostMessageA(m_window, WM_CLOSE, 0, 0);
    m_process.Wait(5000);
    m_process.Kill();
    m_window = nullptr;
}
