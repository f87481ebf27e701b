#pragma once
// A skin window's answer to files dropped on it: the first one is installed
// as a skin (SkinInstaller), and the host's character and the skin's script
// module are told how it went.
//
// The skin window calls it from its WM_DROPFILES handler, after
// DragAcceptFiles(window, TRUE) at creation:
//
//     InstallDroppedSkin(reinterpret_cast<HDROP>(wParam),
//                        {Handle(), Host(), mainWindow, &Module(), &Sentences()});
//
// where mainWindow is the program's main window (it rescans the catalogue on
// the command 40011).
#include <windows.h>
#include <shellapi.h>

#include <string>

class ScriptModule;
class SentencePlayer;

struct SkinDropTarget {
    HWND skinWindow = nullptr;        // the window the files were dropped on; sends the host notification
    HWND host = nullptr;              // its host character window; receives it
    HWND mainWindow = nullptr;        // receives the reload command 40011 (none when null)
    ScriptModule* module = nullptr;   // the skin's script module (no module event when null)
    SentencePlayer* player = nullptr; // plays the module's answer on the skin window
    std::string skinFolder;           // where skins go; empty: the program's own "skin" folder
};

// With the wait cursor shown throughout: takes the first dropped file (a
// path of at most 260 characters; a longer one installs nothing), finishes
// the drop (DragFinish: the handle is gone afterwards), installs it, sends
// the host the SSTP NOTIFY "OnOstraObjectInstalled" from the skin window
// (sender "おすとら", references title, ghost, category as far as they were
// read from the archive, and the success or failure script), then the module
// the same event with the same three references, unless the skin window was
// destroyed meanwhile. The module's sentence plays before this returns.
// True when the skin was installed. User-interface thread; never throws.
bool InstallDroppedSkin(HDROP drop, const SkinDropTarget& target);
