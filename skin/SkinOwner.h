#pragma once
// What a skin window needs from the window that keeps it (the program's main
// window, or a test's): the catalogue to choose from, the transparency
// setting, the screen context its pictures are made for, the window that
// owns its dialogs, the settings file that remembers each host's skin, and
// word when it changed its skin or its window went away.
#include <windows.h>

#include <string>

class SkinCatalogue;
class SkinWindow;

class SkinOwner {
  public:
    virtual const SkinCatalogue& Catalogue() const = 0;
    // The "AlphaValue" setting, 0..100 percent.
    virtual BYTE Transparency() const = 0;
    // The program's screen device context; it outlives every skin window.
    virtual HDC Screen() const = 0;
    // The owner of the skin's dialogs: the program's main window, which also
    // takes the reload command (40011) after a skin was installed.
    virtual HWND DialogOwner() const = 0;
    // The file that holds "SkinPath" per host program.
    virtual std::string SettingsFile() const = 0;

    // A switch has loaded a new skin into 'skin' (the shared block lists
    // skin names, so it is published again).
    virtual void SkinChanged(SkinWindow& skin) = 0;
    // The window of 'skin' is being destroyed, by whoever: forget it. The
    // object deletes itself once none of its handlers runs any more, so the
    // owner never deletes it and must not use it after this call.
    virtual void SkinDestroyed(SkinWindow& skin) = 0;

  protected:
    ~SkinOwner() = default;
};
