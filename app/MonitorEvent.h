#pragma once
// An event of the battery or resource monitor, as the main window raises it
// for every skin: a host notification with Reference0 and an optional script,
// and the same event with Reference0 to the skin's script module.
#include <optional>
#include <string>

enum class MonitorEventKind { BatteryLow, BatteryCritical, SysResourceLow, SysResourceCritical, SysResourceEnough };

struct MonitorEvent {
    MonitorEventKind kind;
    std::string name;      // "OnBatteryLow", ...
    int value;             // the percent that raised it
    std::string reference; // Reference0: 'value' as a signed decimal number
    // The host notification's script, Shift_JIS; none (a null script) for
    // "OnSysResourceEnough".
    std::optional<std::string> script;

    static MonitorEvent Make(MonitorEventKind kind, int value);
};
