#pragma once
// The program's settings record and how it maps onto the settings file's
// section "Ostra". Portable: the file itself is read and written by
// SettingsFile (private-profile functions), which goes through these.
#include <array>

struct Settings {
    bool SSTPRouting = true;      // start the SSTP relay (takes effect at the next start)
    bool TalkControl = false;     // the periodic talk request to the host
    int TalkControlInterval = 60; // seconds between talk requests
    int AlphaValue = 100;         // opacity of every skin window, percent
};

namespace settingsfile {

constexpr char kSection[] = "Ostra";

// One key of the section, in the order the file is read and written.
struct Entry {
    const char* key;
    int value;
};
using Entries = std::array<Entry, 4>;

// The record's values under their keys: "SSTPRouting", "TalkControl",
// "TalkControlInterval", "AlphaValue" (booleans as 1 or 0).
Entries ToEntries(const Settings& settings);

// The record from the integers read for the keys in that order. Any nonzero
// value switches a boolean on; numbers are taken as they are, unchecked
// against the ranges the options sheet allows.
Settings FromValues(const std::array<int, 4>& values);

} // namespace settingsfile

namespace transparency {

// The percentage a skin window's opacity comes from: the low 8 bits of the
// stored value (a stored 300 gives 44).
unsigned char OpacityPercent(int alphaValue);

// The options sheet's track bar shows transparency, 100 - opacity, from 0 to 90.
constexpr int kTrackMinimum = 0;
constexpr int kTrackMaximum = 90;
int TrackPosition(int alphaValue);
int AlphaValueAt(int trackPosition);

} // namespace transparency
