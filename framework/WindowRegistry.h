#pragma once
// The framework's process-wide binding tables: which object belongs to which
// window handle, the objects waiting for their window to be created, and the
// temporary wrapper objects that live until the message loop's next round.
// Used only by the thread that runs the windows, so nothing here is locked.
#include <windows.h>

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

    // The handle map.
    Window* Find(HWND hwnd) const;
    void Bind(HWND hwnd, Window* window);
    void Unbind(HWND hwnd);
    std::size_t BoundCount() const { return m_handles.size(); }

    // Windows being created: the object waits under the current creation
    // number until the window procedure sees the first message of its window.
    void AddPendingCreation(Window* window);
    Window* TakePendingCreation();
    // Drops 'window' from the pending map if it is still waiting (its
    // creation failed before any message reached the window procedure).
    void ForgetPendingCreation(Window* window);
    std::uint32_t CreationNumber() const { return m_creation.Value(); }
    void SetCreationNumber(std::uint32_t value) { m_creation.Set(value); }
    void AdvanceCreation() { m_creation.Advance(); }

    // Dialogs being created, likewise.
    void AddPendingDialog(Dialog* dialog);
    Dialog* PeekPendingDialog() const;
    void RemovePendingDialog();
    void ForgetPendingDialog(Dialog* dialog);
    std::uint32_t DialogNumber() const { return m_dialog.Value(); }
    void SetDialogNumber(std::uint32_t value) { m_dialog.Set(value); }
    void AdvanceDialog() { m_dialog.Advance(); }

    // Temporary objects: owned here until PurgeTemporaries.
    template <class T> T* AddTemporary(std::unique_ptr<T> object)
    {
        T* raw = object.get();
        m_temporaries.push_back(std::make_unique<Holder<T>>(std::move(object)));
        return raw;
    }
    void PurgeTemporaries();
    std::size_t TemporaryCount() const { return m_temporaries.size(); }

    // In a DLL there is no loop of ours to purge after each round; the
    // foreground-idle hook should, but Wine never calls that hook. With this
    // set, the window procedure purges when its outermost call returns.
    void SetPurgeAfterOutermostMessage(bool on) { m_purgeAfterOutermost = on; }
    bool PurgeAfterOutermostMessage() const { return m_purgeAfterOutermost; }
    // Nesting depth of the framework's window procedure on this thread.
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
};
