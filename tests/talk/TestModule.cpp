// A script module for the tests of the module host, built three times with
// different export tables (plain names, underscored names, one entry
// missing). It records every call, with the exact bytes it was handed, in
// "calls.log" in the folder "load" gives it, and behaves as files in that
// folder say:
//   version.txt      the answer to the first request (the version probe);
//                    without it the probe gets no answer
//   sentence.txt     the answer to every later request; without it none
//   load-result.txt  "0": load answers FALSE
//   fault.txt        "load", "probe", "event" or "unload": an access
//                    violation inside that call
//   reenter.txt      a window class: every later request first sends
//                    WM_APP + 7 to that window and waits for its answer
//   extra-length.txt a number added to the answer's stated length
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string g_folder;
int g_requests = 0;

std::string ReadConfig(const char* name)
{
    std::string text;
    HANDLE file =
        CreateFileA((g_folder + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "\x01missing";
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

bool HasConfig(const char* name)
{
    return ReadConfig(name) != "\x01missing";
}

void Record(const std::string& entry)
{
    HANDLE file = CreateFileA((g_folder + "calls.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
    CloseHandle(file);
}

void FaultIf(const char* where)
{
    if (ReadConfig("fault.txt") != where) return;
    // A write to the first page, which is never mapped: an access violation.
    volatile int* volatile nowhere = reinterpret_cast<volatile int*>(16);
    *nowhere = 1;
}

HGLOBAL Answer(const std::string& text, long* length)
{
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, text.size() + 1);
    if (!block) return nullptr;
    CopyMemory(block, text.c_str(), text.size() + 1);
    long extra = HasConfig("extra-length.txt") ? std::atol(ReadConfig("extra-length.txt").c_str()) : 0;
    *length = static_cast<long>(text.size()) + extra;
    return block;
}

} // namespace

extern "C" {

BOOL __cdecl load(HGLOBAL folder, long length)
{
    g_folder.assign(static_cast<const char*>(folder), length > 0 ? static_cast<std::size_t>(length) : 0);
    GlobalFree(folder);
    g_requests = 0;
    Record("load " + std::to_string(length) + "\n" + g_folder + "\n");
    FaultIf("load");
    return ReadConfig("load-result.txt") == "0" ? FALSE : TRUE;
}

HGLOBAL __cdecl request(HGLOBAL block, long* length)
{
    const std::string text(static_cast<const char*>(block), static_cast<std::size_t>(*length));
    GlobalFree(block);
    Record("request " + std::to_string(*length) + "\n" + text + "\n");
    const bool probe = g_requests++ == 0;
    FaultIf(probe ? "probe" : "event");
    if (probe) return HasConfig("version.txt") ? Answer(ReadConfig("version.txt"), length) : nullptr;
    if (HasConfig("reenter.txt")) {
        SendMessageA(FindWindowA(ReadConfig("reenter.txt").c_str(), nullptr), WM_APP + 7, 0, 0);
        Record("reentered\n");
    }
    return HasConfig("sentence.txt") ? Answer(ReadConfig("sentence.txt"), length) : nullptr;
}

BOOL __cdecl unload(void)
{
    Record("unload\n");
    FaultIf("unload");
    return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
}
