// A script module for the skin window tests. It keeps every request it
// receives in "requests.log" in its folder (each request followed by one NUL
// byte), answers the version probe with DORVY/2.0, and answers events from
// "script.txt" in its folder: lines "EVENT<TAB>SENTENCE". A line
// "detach<TAB>EVENT" makes it ask the test's main window, by a posted
// message, to drop the skin window named in the event's reference 0 before
// it answers: the detach then arrives while the sentence plays.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string g_folder; // with its trailing backslash, as "load" hands it over

std::string ReadFileText(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

void Append(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string HeaderValue(const std::string& text, const std::string& header)
{
    const std::string key = "\r\n" + header + ": ";
    const size_t at = text.find(key);
    if (at == std::string::npos) return std::string();
    const size_t start = at + key.size();
    return text.substr(start, text.find("\r\n", start) - start);
}

HGLOBAL Answer(const std::string& text, long* length)
{
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, text.size() + 1);
    if (!block) return nullptr;
    CopyMemory(block, text.data(), text.size());
    *length = static_cast<long>(text.size());
    return block;
}

// The message the test's main window takes as "drop the skin window wParam".
constexpr UINT kDropSkinRequest = WM_APP + 61;

} // namespace

extern "C" __declspec(dllexport) BOOL __cdecl load(HGLOBAL folder, long length)
{
    g_folder.assign(static_cast<const char*>(static_cast<void*>(folder)), static_cast<size_t>(length));
    GlobalFree(folder);
    Append(g_folder + "requests.log", std::string("load ") + g_folder + '\0');
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL __cdecl unload()
{
    Append(g_folder + "requests.log", std::string("unload") + '\0');
    return TRUE;
}

extern "C" __declspec(dllexport) HGLOBAL __cdecl request(HGLOBAL block, long* length)
{
    const std::string text(static_cast<const char*>(static_cast<void*>(block)), static_cast<size_t>(*length));
    GlobalFree(block);
    Append(g_folder + "requests.log", text + '\0');
    if (text.compare(0, 12, "GET Version ") == 0)
        return Answer("SHIORI/2.0 200 OK\r\nVersion: DORVY/2.0\r\n\r\n", length);

    const std::string event = HeaderValue(text, "Event");
    const std::string script = ReadFileText(g_folder + "script.txt");
    std::string sentence;
    size_t pos = 0;
    while (pos < script.size()) {
        size_t end = script.find('\n', pos);
        if (end == std::string::npos) end = script.size();
        std::string line = script.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) {
            const std::string key = line.substr(0, tab);
            const std::string value = line.substr(tab + 1);
            if (key == event) sentence = value;
            if (key == "detach" && value == event) {
                HWND skin = reinterpret_cast<HWND>(
                    static_cast<INT_PTR>(std::strtol(HeaderValue(text, "Reference0").c_str(), nullptr, 10)));
                PostMessageA(FindWindowA("DLVOstraMainClass", nullptr), kDropSkinRequest,
                             reinterpret_cast<WPARAM>(skin), 0);
            }
        }
        pos = end + 1;
    }
    if (sentence.empty()) return Answer("DORVY/2.0 204 No Content\r\n\r\n", length);
    return Answer("DORVY/2.0 200 OK\r\nSentence: " + sentence + "\r\n\r\n", length);
}
