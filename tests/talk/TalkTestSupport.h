#pragma once
// Shared pieces of the module host and player tests: the process's
// application object, a stand-in skin window that records the surfaces a
// sentence shows, and skin folders holding a copy of a test module.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "talk/ScriptModule.h"
#include "talk/SentencePlayer.h"

// What a TestSkin leaves behind, readable after it is deleted.
struct SkinRecord {
    std::vector<int> shown;
    bool deleted = false;
    bool destroyedWindow = false;
};

// A real top-level window of class "TalkTestSkin" with a module and a player,
// as a skin window composes them. Its window procedure acts on:
//   WM_TIMER kDestroyTimer   destroys the window (the object lives on)
//   WM_TIMER kDeleteTimer    deletes the object (and so the window)
//   WM_TIMER kMarkTimer      records kMark among the surfaces shown
//   WM_APP + 7               unloads the module (a module that re-enters)
//   WM_APP + 8               records kMark among the surfaces shown
class TestSkin : public SentenceTarget {
  public:
    static constexpr UINT_PTR kDestroyTimer = 1;
    static constexpr UINT_PTR kDeleteTimer = 2;
    static constexpr UINT_PTR kMarkTimer = 3;
    static constexpr int kMark = -1000;
    static constexpr char kClassName[] = "TalkTestSkin";

    explicit TestSkin(std::shared_ptr<SkinRecord> record);
    virtual ~TestSkin();
    TestSkin(const TestSkin&) = delete;
    TestSkin& operator=(const TestSkin&) = delete;

    HWND SentenceWindow() const override { return m_window; }
    void ShowSurface(std::int32_t number) override;

    // When 'surface' is shown, the timer 'timer' is started with 'ms'.
    void ArmTimerOnSurface(int surface, UINT_PTR timer, UINT ms);
    // Deleting the object leaves its window to the caller (a window object
    // whose window outlives it): only the object is gone.
    void KeepWindowWhenDeleted() { m_keepWindow = true; }

    HWND Window() const { return m_window; }
    ScriptModule module;
    SentencePlayer player{*this};

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::shared_ptr<SkinRecord> m_record;
    HWND m_window = nullptr;
    int m_armedSurface = -1;
    UINT_PTR m_armedTimer = 0;
    UINT m_armedMs = 0;
    bool m_keepWindow = false;
};

// A fresh skin folder with a copy of one of the test modules (or another
// DLL) named "module.dll", and the test module's configuration files.
class ModuleFolder {
  public:
    // 'dll' is a path; the copy is named 'as' in the folder.
    ModuleFolder(const std::string& name, const std::string& dll, const std::string& as = "module.dll");
    const std::string& Path() const { return m_path; }
    std::string ModulePath() const { return m_path + "\\" + m_as; }
    const std::string& FileName() const { return m_as; }
    void Set(const std::string& file, const std::string& content) const;
    // The test module's record of its calls.
    std::string Calls() const;
    // True while the module's library is loaded in this process.
    bool Loaded() const { return GetModuleHandleA(ModulePath().c_str()) != nullptr; }

  private:
    std::string m_path;
    std::string m_as;
};

// build/<target>/tests\<name>: the test modules are built there.
std::string TestProgramDir();

// "load", "request" and "unload" entries as the test module records them.
std::string LoadCall(const std::string& folder);
std::string RequestCall(const std::string& text);
