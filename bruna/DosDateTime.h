#pragma once
// DOS date and time words (the form ZIP and cabinet members carry) and the
// conversion of a calendar time to FILETIME ticks.
#include <cstdint>

struct CivilTime {
    int year = 1980;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class DosDateTime {
  public:
    // Splits the words: date = (year - 1980) << 9 | month << 5 | day,
    // time = hour << 11 | minute << 5 | seconds / 2.
    static CivilTime Decode(uint16_t date, uint16_t time);

    static bool IsValid(const CivilTime& t);

    // 100 ns ticks since 1601-01-01 00:00 of the same clock (no zone is
    // applied: a local time gives local ticks). 0 for an invalid time.
    static uint64_t ToFileTimeTicks(const CivilTime& t);
};
