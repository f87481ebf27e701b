#include "app/MonitorEvent.h"

namespace {

const char* NameOf(MonitorEventKind kind)
{
    switch (kind) {
    case MonitorEventKind::BatteryLow:
        return "OnBatteryLow";
    case MonitorEventKind::BatteryCritical:
        return "OnBatteryCritical";
    case MonitorEventKind::SysResourceLow:
        return "OnSysResourceLow";
    case MonitorEventKind::SysResourceCritical:
        return "OnSysResourceCritical";
    case MonitorEventKind::SysResourceEnough:
        break;
    }
    return "OnSysResourceEnough";
}

} // namespace

MonitorEvent MonitorEvent::Make(MonitorEventKind kind, int value)
{
    MonitorEvent event{kind, NameOf(kind), value, std::to_string(value), std::nullopt};
    // The backslashes are the host's script escapes: \h speaks as the main
    // character, \s0 shows its surface 0, \e ends the script.
    switch (kind) {
    case MonitorEventKind::BatteryLow:
    case MonitorEventKind::BatteryCritical:
        event.script = "\\h\\s0バッテリー残量が" + event.reference + "%を切りました。\\e";
        break;
    case MonitorEventKind::SysResourceLow:
    case MonitorEventKind::SysResourceCritical:
        event.script = "\\h\\s0システムリソースが" + event.reference + "%を切りました。\\e";
        break;
    case MonitorEventKind::SysResourceEnough:
        break;
    }
    return event;
}
