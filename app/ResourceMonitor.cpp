#include "app/ResourceMonitor.h"

std::optional<MonitorEvent> ResourceMonitor::Check(int freePercent)
{
    const unsigned percent = static_cast<unsigned>(freePercent);
    if (percent < 30 && m_level < 1) {
        m_level = 1;
        return MonitorEvent::Make(MonitorEventKind::SysResourceCritical, freePercent);
    }
    if (percent >= 30 && percent < 50 && m_level < 2) {
        m_level = 2;
        return MonitorEvent::Make(MonitorEventKind::SysResourceLow, freePercent);
    }
    if (percent >= 50 && m_level != 0) {
        m_level = 0;
        return MonitorEvent::Make(MonitorEventKind::SysResourceEnough, freePercent);
    }
    return std::nullopt;
}
