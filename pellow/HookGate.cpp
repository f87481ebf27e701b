#include "pellow/HookGate.h"

#include "pellow/HookMessages.h"

namespace pellow {

void HookGate::SetHostProcess(bool isHost)
{
    m_isHost = isHost;
    m_hostChecked = true;
}

bool HookGate::MayAttach(int hookCode, bool removedFromQueue, bool isNotifyMessage, unsigned long long wParam,
                         const void* installedHook) const
{
    return m_isHost && hookCode >= 0 && removedFromQueue && !m_attached && !IsReleasedUnder(installedHook) &&
           isNotifyMessage && wParam == ostra::kNotifyAttach;
}

void HookGate::Attached(const void* installedHook)
{
    m_attached = true;
    m_attachedUnder = installedHook;
}

bool HookGate::IsAttachedUnderAnother(const void* installedHook) const
{
    return m_attached && installedHook != nullptr && installedHook != m_attachedUnder;
}

void HookGate::Dropped()
{
    m_attached = false;
    m_released = false;
}

void HookGate::Released(const void* installedHook)
{
    m_released = true;
    m_releasedUnder = installedHook;
    m_attached = false;
}

bool HookGate::Guard::TryEnter()
{
    if (m_set) return false;
    m_set = true;
    return true;
}

} // namespace pellow
