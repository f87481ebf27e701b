#pragma once
// The system-resource monitor's level rule, checked once a second by the main
// window with the free system resources in percent (GetFreeSystemResources(0)).
#include <optional>

#include "app/MonitorEvent.h"

class ResourceMonitor {
  public:
    // Below 30% "OnSysResourceCritical" once, from 30% to 49% "OnSysResourceLow"
    // once (also after a critical report), and back at 50% or more
    // "OnSysResourceEnough" once after either. The percent is compared as an
    // unsigned number, so a negative value counts as plenty; the event still
    // carries it as the signed number it was.
    std::optional<MonitorEvent> Check(int freePercent);

    int Level() const { return m_level; } // 0 enough, 1 critical, 2 low reported

  private:
    int m_level = 0;
};
