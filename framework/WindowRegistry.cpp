#include "framework/WindowRegistry.h"

WindowRegistry& WindowRegistry::Instance()
{
    // Never destroyed: window objects that are static or members of the
    // static application object reach the tables from their destructors at
    // exit, possibly after a static registry would already be gone.
    static WindowRegistry* registry = new WindowRegistry;
    return *registry;
}

bool WindowRegistry::OnUserInterfaceThread()
{
    const DWORD self = GetCurrentThreadId();
    DWORD owner = m_userInterfaceThread.load();
    if (owner == 0 && m_userInterfaceThread.compare_exchange_strong(owner, self)) return true;
    return owner == self;
}

Window* WindowRegistry::Find(HWND hwnd)
{
    if (!OnUserInterfaceThread()) return nullptr;
    auto it = m_handles.find(hwnd);
    return it == m_handles.end() ? nullptr : it->second;
}

void WindowRegistry::Bind(HWND hwnd, Window* window)
{
    if (!OnUserInterfaceThread()) return;
    m_handles[hwnd] = window;
}

void WindowRegistry::Unbind(HWND hwnd)
{
    if (!OnUserInterfaceThread()) return;
    m_handles.erase(hwnd);
}

void WindowRegistry::AddPendingCreation(Window* window)
{
    if (!OnUserInterfaceThread()) return;
    m_pendingCreations[m_creation.Value()] = window;
}

Window* WindowRegistry::TakePendingCreation()
{
    if (!OnUserInterfaceThread()) return nullptr;
    auto it = m_pendingCreations.find(m_creation.Value());
    if (it == m_pendingCreations.end()) return nullptr;
    Window* window = it->second;
    m_pendingCreations.erase(it);
    return window;
}

void WindowRegistry::ForgetPendingCreation(Window* window)
{
    if (!OnUserInterfaceThread()) return;
    for (auto it = m_pendingCreations.begin(); it != m_pendingCreations.end();) {
        it = it->second == window ? m_pendingCreations.erase(it) : std::next(it);
    }
}

void WindowRegistry::AddPendingDialog(Dialog* dialog)
{
    if (!OnUserInterfaceThread()) return;
    m_pendingDialogs[m_dialog.Value()] = dialog;
}

Dialog* WindowRegistry::PeekPendingDialog()
{
    if (!OnUserInterfaceThread()) return nullptr;
    auto it = m_pendingDialogs.find(m_dialog.Value());
    return it == m_pendingDialogs.end() ? nullptr : it->second;
}

void WindowRegistry::RemovePendingDialog()
{
    if (!OnUserInterfaceThread()) return;
    m_pendingDialogs.erase(m_dialog.Value());
}

void WindowRegistry::ForgetPendingDialog(Dialog* dialog)
{
    if (!OnUserInterfaceThread()) return;
    for (auto it = m_pendingDialogs.begin(); it != m_pendingDialogs.end();) {
        it = it->second == dialog ? m_pendingDialogs.erase(it) : std::next(it);
    }
}

void WindowRegistry::PurgeTemporaries()
{
    if (!OnUserInterfaceThread()) return;
    // Destroying a temporary may not add new ones, but swap first so that a
    // purge from inside a destructor cannot walk a vector being cleared.
    std::vector<std::unique_ptr<HolderBase>> doomed;
    doomed.swap(m_temporaries);
    doomed.clear();
}
