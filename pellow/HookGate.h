#pragma once
// The per-process state of the hook library's copy in one process: whether
// the process is a host, whether its host window is attached or has been
// released, and the three re-entry guards of the replacement window
// procedure. Portable, so the rules of when to attach are tested without
// windows; the Win32 side asks it before it acts.

namespace pellow {

class HookGate {
public:
    // The result of the host test; the test is made once per process.
    void SetHostProcess(bool isHost);
    bool HostChecked() const { return m_hostChecked; }
    bool IsHostProcess() const { return m_isHost; }

    // Whether a message that the hook sees may attach its target window, as
    // far as it can be told without looking at the window: a host process,
    // a non-negative hook code, a message being removed from the queue, no
    // window attached or released yet, and the notify message with the
    // attach request. The window's class and its "OstraProp" are the
    // caller's to check. 'installedHook' identifies the hook installation
    // now in place (its handle).
    bool MayAttach(int hookCode, bool removedFromQueue, bool isNotifyMessage, unsigned long long wParam,
                   const void* installedHook) const;

    // An attach is starting: a released process is no longer released.
    void BeginAttach() { m_released = false; }
    // The main window accepted the host window under the hook installation
    // 'installedHook': it stays attached.
    void Attached(const void* installedHook);
    // Attached under an installation other than 'installedHook': the main
    // program that attached the window ended without detaching it (it
    // crashed, or this host missed the detach request) and another one
    // installed the hook since.
    bool IsAttachedUnderAnother(const void* installedHook) const;
    // The window was given back without a detach request: not attached, and
    // free to be attached again.
    void Dropped();
    // A detach request released the host window under the hook installation
    // 'installedHook': no attaching again while that installation lasts. A
    // later installation (the main program started again) may attach anew,
    // as it would with a freshly loaded copy of the library; a system that
    // keeps the library loaded in the host after the hook is removed (Wine
    // does) must not keep the host without a skin for the rest of its life.
    void Released(const void* installedHook);

    bool IsAttached() const { return m_attached; }
    // Released under the installation 'installedHook'.
    bool IsReleasedUnder(const void* installedHook) const { return m_released && m_releasedUnder == installedHook; }
    bool IsReleased() const { return m_released; }

    // A flag that stops a report from recursing when the skin's reaction
    // makes the host window receive the same kind of message again.
    class Guard {
    public:
        // True (and the guard set) when it was clear.
        bool TryEnter();
        void Leave() { m_set = false; }
        bool IsSet() const { return m_set; }

    private:
        bool m_set = false;
    };

    // Holds a guard for one scope when it could be entered.
    class Scope {
    public:
        explicit Scope(Guard& guard) : m_guard(guard), m_entered(guard.TryEnter()) {}
        ~Scope()
        {
            if (m_entered) m_guard.Leave();
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        bool Entered() const { return m_entered; }

    private:
        Guard& m_guard;
        bool m_entered;
    };

    Guard& MoveGuard() { return m_moveGuard; }
    Guard& DeactivateGuard() { return m_deactivateGuard; }
    Guard& ShowGuard() { return m_showGuard; }

private:
    bool m_isHost = false;
    bool m_hostChecked = false;
    bool m_attached = false;
    bool m_released = false;
    const void* m_releasedUnder = nullptr;
    const void* m_attachedUnder = nullptr;
    Guard m_moveGuard;
    Guard m_deactivateGuard;
    Guard m_showGuard;
};

} // namespace pellow
