#include "app/Settings.h"

namespace settingsfile {

Entries ToEntries(const Settings& settings)
{
    return {{{"SSTPRouting", settings.SSTPRouting ? 1 : 0},
             {"TalkControl", settings.TalkControl ? 1 : 0},
             {"TalkControlInterval", settings.TalkControlInterval},
             {"AlphaValue", settings.AlphaValue}}};
}

Settings FromValues(const std::array<int, 4>& values)
{
    Settings settings;
    settings.SSTPRouting = values[0] != 0;
    settings.TalkControl = values[1] != 0;
    settings.TalkControlInterval = values[2];
    settings.AlphaValue = values[3];
    return settings;
}

} // namespace settingsfile

namespace transparency {

unsigned char OpacityPercent(int alphaValue)
{
    return static_cast<unsigned char>(static_cast<unsigned>(alphaValue) & 0xFF);
}

int TrackPosition(int alphaValue)
{
    return 100 - alphaValue;
}

int AlphaValueAt(int trackPosition)
{
    return 100 - trackPosition;
}

} // namespace transparency
