#pragma once
// The main program's side of skin windows for the tests and the benchmark: a
// window of class "DLVOstraMainClass" that answers the hook's WM_SKIN_ATTACH,
// WM_SKIN_DETACH and WM_SKIN_LOOKUP with real skin windows, keeps the table
// of host window to skin window, and gives the skins a catalogue of a test
// skin folder, a settings file of the test's own and a transparency.
#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>

#include "framework/Window.h"
#include "skin/SkinCatalogue.h"
#include "skin/SkinOwner.h"

class SkinWindow;

class TestMainWindow : public Window, public SkinOwner {
  public:
    // Posted by the test module: destroy the skin window wParam as a detach does.
    static constexpr UINT kDropSkinRequest = WM_APP + 61;
    // Posted by tests: end every dialog this window owns with IDOK.
    static constexpr UINT kCloseDialogs = WM_APP + 62;

    static constexpr UINT_PTR kNotifyTimer = 101;
    // The command that reloads the catalogue.
    static constexpr UINT kReloadSkins = 40011;

    TestMainWindow();
    ~TestMainWindow() override;

    // Scans 'skinRoot' and makes the window; false on failure.
    bool Open(const std::string& skinRoot, const std::string& settingsFile);
    void Close();

    SkinWindow* SkinOf(HWND host) const;
    std::size_t SkinCount() const { return m_table.size(); }
    void SetTransparency(BYTE percent) { m_alpha = percent; }

    // SkinOwner.
    const SkinCatalogue& Catalogue() const override { return m_catalogue; }
    BYTE Transparency() const override { return m_alpha; }
    HDC Screen() const override { return m_screen; }
    HWND DialogOwner() const override { return m_hwnd; }
    std::string SettingsFile() const override { return m_settings; }
    void SkinChanged(SkinWindow& skin) override;
    void SkinDestroyed(SkinWindow& skin) override;

    int changedNotices = 0;
    int destroyedNotices = 0;
    int attachRequests = 0;
    int reloads = 0;
    // Dialogs this window owned when the last drop request arrived.
    int dialogsAtDrop = -1;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    SkinCatalogue m_catalogue;
    std::string m_settings;
    BYTE m_alpha = 100;
    HDC m_screen = nullptr;
    std::map<HWND, SkinWindow*> m_table; // host window -> skin object
    std::set<HWND> m_attaching;          // hosts whose skin is being made
    // Hosts whose skin a drop request closed. The drop stands for a detach,
    // after which the hook keeps the host released: the timer does not ask
    // them again (the hook gives a host whose skin ended otherwise a new one).
    std::set<HWND> m_dropped;
};

// Dispatches this thread's messages until done() or 'ms' have passed; the
// last answer of done().
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
void PumpFor(DWORD ms);
