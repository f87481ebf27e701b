#pragma once
// The battery monitor's level rule, checked once a second by the main window.
//
// The battery query (GetBatteryStatus) writes each of its two out values only
// when it differs from what it reported last time, so the monitor keeps the
// values between checks and the query writes into them in place. They start
// as "not on battery", so nothing is raised before the first report.
#include <optional>

#include "app/MonitorEvent.h"

class BatteryMonitor {
  public:
    enum : int { kOnBattery = 2 }; // the query's power state "running on battery"

    // The out values to hand to the battery query.
    int* PowerStateOut() { return &m_powerState; }
    int* ChargeOut() { return &m_charge; }

    // Applies the level rule to the kept values. On battery only: below 20%
    // "OnBatteryCritical" once, from 20% to 39% "OnBatteryLow" once (also
    // after a critical report), and 40% or more rearms both; the comparisons
    // are signed. Off battery the level is left as it is.
    std::optional<MonitorEvent> Check();

    int Level() const { return m_level; } // 0 nothing, 1 critical, 2 low reported

  private:
    int m_powerState = 0;
    int m_charge = 100;
    int m_level = 0;
};
