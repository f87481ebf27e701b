#pragma once
// Names and numbers that the main program and the hook library share, and the
// one list of the program's private window messages. The
// message numbers are fixed because the hook sends them from inside the host
// processes, where nothing of the main program can be looked up. Free of
// Windows headers so portable code and tests can use it too.

namespace ostra {

// Private window messages of the main window and the skin windows.
constexpr unsigned int WM_TRAY_NOTIFY = 0x8001; // notification area -> main window
constexpr unsigned int WM_SKIN_ATTACH = 0x8005; // hook -> main window; wParam host window; answers the skin window or 0
constexpr unsigned int WM_SKIN_DETACH = 0x8006; // hook -> main window; wParam host window
constexpr unsigned int WM_SKIN_LOOKUP = 0x8007; // hook -> main window; wParam host window; answers the skin window or 0
constexpr unsigned int WM_SKIN_FOLLOW = 0x8008; // hook -> skin window; wParam host window that moved
constexpr unsigned int WM_SKIN_CHECK = 0x8009;  // main window's timer -> skin window
constexpr unsigned int WM_SKIN_ZORDER = 0x800B; // hook -> skin window; wParam one of the kZOrder values
constexpr unsigned int WM_SKIN_EVENT = 0x800C;  // hook -> skin window; wParam event code
constexpr unsigned int WM_SKIN_PLACE = 0x800D;  // skin window -> itself, posted: the placement WM_SKIN_FOLLOW asked for

// String requests a skin window answers (and sends to the peer program
// Quibbet): wParam the asking process id, lParam the address of a
// kStringRequestSize-byte buffer in that process.
constexpr unsigned int kTitleRequest = 0x8065;
constexpr unsigned int kGhostRequest = 0x8066;
constexpr unsigned int kCategoryRequest = 0x8067;
constexpr unsigned int kQuibbetExtraRequest = 0x8068; // not answered by a skin window
constexpr unsigned int kStringRequestSize = 200;

// wParam of WM_SKIN_ZORDER.
constexpr unsigned int kZOrderHostDeactivated = 256;
constexpr unsigned int kZOrderHostMenu = 0;

// wParam of WM_SKIN_EVENT sent right after a host window was attached.
constexpr unsigned int kSkinEventCreated = 0;

// Registered messages. The notify message carries kNotifyAttach (posted by
// the main program every timer tick) or kNotifyDetach (sent by SetupHook when
// the hook is switched off). The file-name message carries the asking
// process id in wParam and the address of a kFileNameBufferSize-byte buffer
// in that process in lParam.
constexpr char kNotifyMessageName[] = "DLVOstraInternalNotify";
constexpr char kFileNameMessageName[] = "DLVOstraGetFileName";
constexpr unsigned int kNotifyAttach = 0;
constexpr unsigned int kNotifyDetach = 1;
constexpr unsigned int kFileNameBufferSize = 260;

// The host's registered message for position queries, and the peer program's.
constexpr char kHostQueryMessageName[] = "Sakura";
constexpr char kQuibbetMessageName[] = "Quibbet";

// Window classes.
constexpr char kMainWindowClass[] = "DLVOstraMainClass";
constexpr char kSkinWindowClass[] = "DLVOstraClass";
constexpr char kHostWindowClass[] = "Tmainform";

// Window properties: on a host window, its skin window (and the mark that it
// is taken); on a skin window, its "ontop" setting.
constexpr char kHostSkinProperty[] = "OstraProp";
constexpr char kSkinAboveProperty[] = "DLVOstraIsAbove";

} // namespace ostra
