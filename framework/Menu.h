#pragma once
// A menu handle with its owner. A menu made or loaded here is destroyed with
// the object unless it was detached (a pop-up appended to another menu
// belongs to that menu from then on: Detach it first).
#include <windows.h>

#include <string>

class Menu {
  public:
    Menu() = default;
    ~Menu() { Destroy(); }
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    bool CreateBar();
    bool CreatePopup();
    bool Load(HINSTANCE instance, const char* name);
    bool LoadIndirect(const void* menuTemplate);
    void Attach(HMENU menu, bool owned);
    HMENU Detach();
    void Destroy();
    HMENU Handle() const { return m_menu; }

    BOOL Append(UINT flags, UINT_PTR idOrPopup, const char* text);
    BOOL Insert(UINT position, UINT flags, UINT_PTR idOrPopup, const char* text);
    BOOL Modify(UINT position, UINT flags, UINT_PTR idOrPopup, const char* text);
    BOOL Delete(UINT position, UINT flags);
    BOOL Remove(UINT position, UINT flags);
    DWORD Check(UINT item, UINT flags);
    BOOL RadioCheck(UINT first, UINT last, UINT check, UINT flags);
    BOOL Enable(UINT item, UINT flags);
    BOOL SetDefaultItem(UINT item, UINT byPosition);
    int ItemCount() const;
    UINT ItemId(int position) const;
    UINT State(UINT item, UINT flags) const;
    std::string Text(UINT item, UINT flags) const;
    // The sub-menu at a position as a temporary wrapper, or nullptr.
    Menu* SubMenu(int position) const;
    // TrackPopupMenu; with TPM_RETURNCMD the chosen command, else success.
    BOOL TrackPopup(UINT flags, int x, int y, HWND owner);

    // The wrapper of a handle, valid only while the current message is handled;
    // nullptr on a thread other than the user-interface thread.
    static Menu* FromHandle(HMENU menu);

  private:
    HMENU m_menu = nullptr;
    bool m_owned = false;
};
