#pragma once
// The battery query's reporting: what the system's power status means for the
// program, and which of the two values changed since they were last reported.
// Portable: the Win32 side passes in the fields of SYSTEM_POWER_STATUS.
#include <cstdint>

namespace selka {

struct PowerStatus {
    bool queried = false; // the system query succeeded
    uint8_t acLine = 255; // ACLineStatus: 0 offline, 1 online, 255 unknown
    uint8_t batteryFlag =
        255;               // BatteryFlag: bit 128 set (no system battery, or 255 unknown) means no battery information
    uint8_t percent = 255; // BatteryLifePercent: 255 unknown
};

class BatteryReport {
  public:
    enum : int { kNoInformation = 0, kMainsWithBattery = 1, kOnBattery = 2 };

    // 0 when the query failed, the line state is unknown or mains power runs
    // a system without a battery; 1 on mains with a battery; 2 on battery.
    static int PowerState(const PowerStatus& status);
    // 0..100; an unknown charge (255), anything above 100 or a failed query reads 100.
    static int Charge(const PowerStatus& status);

    // Writes each out value that differs from the one last reported (both at
    // the first call) and remembers it; a null out pointer is never written
    // and its value is not counted as reported. True when anything was written.
    bool Report(const PowerStatus& status, int* powerState, int* charge);

  private:
    int m_lastState = -1;
    int m_lastCharge = -1;
};

} // namespace selka
