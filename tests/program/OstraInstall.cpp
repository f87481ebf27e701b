#include "OstraInstall.h"

#include "harness/TestEnv.h"

namespace {

bool CopyFolder(const std::string& from, const std::string& to)
{
    if (!CreateDirectoryA(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(testenv::Join(from, "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = CopyFolder(testenv::Join(from, name), testenv::Join(to, name)) && ok;
        } else {
            ok = CopyFileA(testenv::Join(from, name).c_str(), testenv::Join(to, name).c_str(), FALSE) && ok;
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return ok;
}

struct ClassSearch {
    DWORD processId; // 0: any process
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM lp)
{
    auto* search = reinterpret_cast<ClassSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[100] = {};
    GetClassNameA(window, name, sizeof name);
    if ((search->processId == 0 || pid == search->processId) && lstrcmpA(name, search->className) == 0)
        search->found.push_back(window);
    return TRUE;
}

} // namespace

bool OstraInstall::Make(const std::string& name, const std::vector<std::string>& skins, const std::string& settings)
{
    m_folder = testenv::FreshDir(name);
    const std::string bin = testenv::BinDir();
    for (const char* file : {"ostra.exe", "selka.dll", "pellow.dll", "bruna.dll"})
        if (!CopyFileA(testenv::Join(bin, file).c_str(), testenv::Join(m_folder, file).c_str(), FALSE)) return false;
    const std::string skinFolder = testenv::Join(m_folder, "skin");
    if (!CreateDirectoryA(skinFolder.c_str(), nullptr)) return false;
    for (const std::string& skin : skins)
        if (!CopyFolder(testenv::Join(testenv::Join(bin, "skin"), skin), testenv::Join(skinFolder, skin))) return false;
    return settings.empty() || testenv::WriteFile(testenv::Join(m_folder, "ostra.ini"), settings);
}

std::string OstraInstall::Program() const
{
    return testenv::Join(m_folder, "ostra.exe");
}

bool OstraInstall::Start(ChildProcess& process) const
{
    return process.Start(Program(), {}, m_folder);
}

std::vector<HWND> WindowsOfClass(DWORD processId, const char* className)
{
    ClassSearch search{processId, className, {}};
    EnumWindows(MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> AllWindowsOfClass(const char* className)
{
    return WindowsOfClass(0, className);
}
