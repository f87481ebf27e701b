#pragma once
// The framework's process-wide binding tables: which object belongs to which
// window handle, the objects waiting for their window to be created, and the
// temporary wrapper objects that live until the message loop's next round.
//
// Only the user-interface thread may touch them, so nothing here is locked:
// that is the thread that constructed the application object (or, in a
// process without one, the first thread that asked). On any other thread every
// operation refuses: lookups find nothing, changes are ignored, a temporary
// handed in is destroyed and nullptr returned, counts read 0. Callers check
// OnUserInterfaceThread first to fail cleanly.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "framework/WrappingCounter.h"

class Window;
class Dialog;

class WindowRegistry {
  public:
    static constexpr std::uint32_t kCreationLimit = 0xFFFFFF; // numbers 0 to 0xFFFFFE
    static constexpr std::uint32_t kDialogLimit = 0xFFFF;     // numbers 0 to 0xFFFE

    static WindowRegistry& Instance();

    WindowRegistry(const WindowRegistry&) = delete;
    WindowRegistry& operator=(const WindowRegistry&) = delete;

    // Makes the calling thread the user-interface thread (the application
    // object's constructor does).
    void ClaimUserInterfaceThread() { m_userInterfaceThread.store(GetCurrentThreadId()); }
    bool OnUserInterfaceThread();

    // The handle map.
    Window* Find(HWND hwnd);
    void Bind(HWND hwnd, Window* window);
    void Unbind(HWND hwnd);
    std::size_t BoundCount() { return OnUserInterfaceThread() ? m_handles.size() : 0; }

    // Windows being created: the object waits under the current creation
    // number until the window procedure sees the first message of its window.
    void AddPendingCreation(Window* window);
    Window* TakePendingCreation();
    // Drops 'window' from the pending map if it is still waiting (its
    // creation failed before any message reached the window procedure).
    void ForgetPendingCreation(Window* window);
    std::uint32_t CreationNumber() { return OnUserInterfaceThread() ? m_creation.Value() : 0; }
    void SetCreationNumber(std::uint32_t value)
    {
        if (OnUserInterfaceThread()) m_creation.Set(value);
    }
    void AdvanceCreation()
    {
        if (OnUserInterfaceThread()) m_creation.Advance();
    }

    // Dialogs being created, likewise.
    void AddPendingDialog(Dialog* dialog);
    Dialog* PeekPendingDialog();
    void RemovePendingDialog();
    void ForgetPendingDialog(Dialog* dialog);
    std::uint32_t DialogNumber() { return OnUserInterfaceThread() ? m_dialog.Value() : 0; }
    void SetDialogNumber(std::uint32_t value)
    {
        if (OnUserInterfaceThread()) m_dialog.Set(value);
    }
    void AdvanceDialog()
    {
        if (OnUserInterfaceThread()) m_dialog.Advance();
    }

    // Temporary objects: owned here until PurgeTemporaries.
    template <class T> T* AddTemporary(std::unique_ptr<T> object)
    {
        if (!object || !OnUserInterfaceThread()) return nullptr;
        T* raw = object.get();
        m_temporaries.push_back(std::make_unique<Holder<T>>(std::move(object)));
        return raw;
    }
    void PurgeTemporaries();
    std::size_t TemporaryCount() { return OnUserInterfaceThread() ? m_temporaries.size() : 0; }

    // In a DLL there is no loop of ours to purge after each round; the
    // foreground-idle hook should, but Wine never calls that hook. With this
    // set, the window procedure purges when its outermost call returns.
    void SetPurgeAfterOutermostMessage(bool on)
    {
        if (OnUserInterfaceThread()) m_purgeAfterOutermost = on;
    }
    bool PurgeAfterOutermostMessage() { return OnUserInterfaceThread() && m_purgeAfterOutermost; }
    // Nesting depth of the framework's window procedure on the user-interface
    // thread (the procedure does not count on other threads: it touches nothing).
    int& DispatchDepth() { return m_dispatchDepth; }

  private:
    WindowRegistry() = default;

    struct HolderBase {
        virtual ~HolderBase() = default;
    };
    template <class T> struct Holder : HolderBase {
        explicit Holder(std::unique_ptr<T> p) : object(std::move(p)) {}
        std::unique_ptr<T> object;
    };

    std::map<HWND, Window*> m_handles;
    std::map<std::uint32_t, Window*> m_pendingCreations;
    std::map<std::uint32_t, Dialog*> m_pendingDialogs;
    WrappingCounter m_creation{kCreationLimit};
    WrappingCounter m_dialog{kDialogLimit};
    std::vector<std::unique_ptr<HolderBase>> m_temporaries;
    bool m_purgeAfterOutermost = false;
    int m_dispatchDepth = 0;
    std::atomic<DWORD> m_userInterfaceThread{0}; // 0 until claimed
};
