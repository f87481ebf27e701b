#include "app/BatteryMonitor.h"

std::optional<MonitorEvent> BatteryMonitor::Check()
{
    if (m_powerState != kOnBattery) return std::nullopt;
    const int percent = m_charge;
    if (percent < 20 && m_level < 1) {
        m_level = 1;
        return MonitorEvent::Make(MonitorEventKind::BatteryCritical, percent);
    }
    if (percent >= 20 && percent < 40 && m_level < 2) {
        m_level = 2;
        return MonitorEvent::Make(MonitorEventKind::BatteryLow, percent);
    }
    // A charge back at 40% raises nothing, it only lets the next fall report again.
    if (percent >= 40) m_level = 0;
    return std::nullopt;
}
