#pragma once
// A copy of the program as a user installs it, in a scratch folder of the
// test: ostra.exe, its three libraries, the chosen sample skins and an
// optional settings file. The program reads its skins and settings beside
// itself, so each case gets the installation it needs.
#include <windows.h>

#include <string>
#include <vector>

#include "harness/ChildProcess.h"

class OstraInstall {
  public:
    // Copies the program and the sample skins 'skins' (folder names under
    // the build's skin folder) into a fresh folder 'name'; 'settings' is the
    // text of ostra.ini beside the program ("" for none). False on failure.
    bool Make(const std::string& name, const std::vector<std::string>& skins, const std::string& settings = "");

    const std::string& Folder() const { return m_folder; }
    std::string Program() const;

    // Starts the program from its folder.
    bool Start(ChildProcess& process) const;

  private:
    std::string m_folder;
};

// Every top-level window of a process with this class name.
std::vector<HWND> WindowsOfClass(DWORD processId, const char* className);
// Every top-level window of any process with this class name.
std::vector<HWND> AllWindowsOfClass(const char* className);

// Waits, sleeping, until 'done' answers true or 'ms' passed; its last answer.
template <class Done> bool WaitUntil(Done done, DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= ms) return false;
        Sleep(20);
    }
}
