#pragma once
// Plays the main program's side of the hook for tests and the benchmark: a
// window of class "DLVOstraMainClass" that answers WM_SKIN_ATTACH,
// WM_SKIN_DETACH and WM_SKIN_LOOKUP as the main program does, posts the
// notify message to every "Tmainform" window every 100 ms, and stand-in skin
// windows that record what the hook sends them.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

struct SkinMessage {
    HWND skin;
    UINT message;
    WPARAM wParam;
    RECT hostRect; // screen rectangle of the host window when the message arrived
};

class FakeMainProgram {
public:
    // How WM_SKIN_ATTACH is answered.
    enum class AttachAnswer { CreateSkin, Refuse, BogusHandle };

    // The one main window of this test program, made on first use.
    static FakeMainProgram& Get();

    HWND Window() const { return m_window; }
    // Destroys the main window (and the skins), so that another program's
    // main window is the only one; Open makes it again.
    void Close();
    void Open();
    UINT NotifyMessage() const { return m_notify; }
    UINT FileNameMessage() const { return m_fileName; }

    void SetAttachAnswer(AttachAnswer answer) { m_answer = answer; }
    // While on, the first WM_SKIN_EVENT a skin receives removes the hook
    // (SetupHook with 0) before it is answered: the main program exiting
    // while a host reports its skin's creation.
    void SetRemoveHookOnSkinEvent(bool on) { m_removeHookOnEvent = on; }
    // While 'release' is set (not null), 'message' (one the main window or
    // a skin window receives) is answered only once that event is
    // signalled, at most a minute later: the main program hangs in its
    // handler without dispatching anything, as a hung program does.
    // 'entered' is signalled when a hang begins.
    void SetHang(UINT message, HANDLE release, HANDLE entered)
    {
        m_hangMessage = message;
        m_hangRelease = release;
        m_hangEntered = entered;
    }
    // While on, the notify message with wParam 0 is posted every 100 ms.
    void SetNotifying(bool on);
    // Forgets what was recorded (not the skin table).
    void ClearRecords();

    // Dispatches this thread's messages until 'done' answers true or 'ms'
    // have passed; returns the last answer of 'done'.
    bool PumpUntil(const std::function<bool()>& done, DWORD ms);
    void PumpFor(DWORD ms);

    // What the hook asked and sent.
    std::vector<HWND> attachRequests;
    std::vector<HWND> detachRequests;
    int lookups = 0;
    std::vector<SkinMessage> skinMessages;
    // The file-name answer the skin side got while a host waited for its
    // WM_SKIN_ATTACH answer (as the real skin asks in its creation).
    std::map<HWND, std::string> fileNamesAtAttach;

    // The skin window kept for a host window, or null.
    HWND SkinOf(HWND host) const;
    // Destroys the skin window of 'host' and keeps a new one for it, without
    // telling the hook (whose "OstraProp" goes on naming the old one).
    HWND ReplaceSkin(HWND host);
    // Messages of one kind that one skin window received.
    std::vector<SkinMessage> MessagesTo(HWND skin, UINT message) const;
    std::size_t AttachRequestsFrom(HWND host) const;
    std::size_t DetachRequestsFrom(HWND host) const;

    // Destroys every skin window left (a test that failed half way).
    void DropAllSkins();

private:
    FakeMainProgram();
    static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SkinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnAttach(HWND host);
    HWND MakeSkin(HWND host);
    void HangIfAsked(UINT message);
    void PostNotifyToHosts();

    HWND m_window = nullptr;
    UINT m_notify = 0;
    UINT m_fileName = 0;
    AttachAnswer m_answer = AttachAnswer::CreateSkin;
    bool m_removeHookOnEvent = false;
    UINT m_hangMessage = 0;
    HANDLE m_hangRelease = nullptr;
    HANDLE m_hangEntered = nullptr;
    std::map<HWND, HWND> m_table; // host window -> skin window
    std::map<HWND, HWND> m_hostOfSkin;
};
