#include "selka/BatteryReport.h"

namespace selka {

namespace {
constexpr uint8_t kNoSystemBattery = 128;
}

int BatteryReport::PowerState(const PowerStatus& status)
{
    if (!status.queried) return kNoInformation;
    switch (status.acLine) {
    case 0:
        return kOnBattery;
    case 1:
        return (status.batteryFlag & kNoSystemBattery) ? kNoInformation : kMainsWithBattery;
    default:
        return kNoInformation;
    }
}

int BatteryReport::Charge(const PowerStatus& status)
{
    if (!status.queried || status.percent > 100) return 100;
    return status.percent;
}

bool BatteryReport::Report(const PowerStatus& status, int* powerState, int* charge)
{
    const int state = PowerState(status);
    const int percent = Charge(status);
    bool written = false;
    if (powerState && state != m_lastState) {
        *powerState = m_lastState = state;
        written = true;
    }
    if (charge && percent != m_lastCharge) {
        *charge = m_lastCharge = percent;
        written = true;
    }
    return written;
}

} // namespace selka
