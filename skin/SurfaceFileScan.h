#pragma once
// Which files of a skin folder become which surfaces: the numbering of
// "surface*.png" names and the rule that the first file listed for a number
// wins.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class SurfaceFileScan {
  public:
    // The surface number of a file name: the name without its extension, past
    // its first 7 characters (the length of "surface"), read as atoi reads it.
    // "surface03.png" gives 3, "surfaceX.png" 0, "surface-2.png" -2.
    static int32_t NumberOf(std::string_view fileName);

    // The animation file that goes with a surface: "surface" + number + "a.txt",
    // so surface 3 uses "surface3a.txt" whatever zeros its picture's name had.
    static std::string AnimationFileFor(int32_t number);

    // Goes through the entries of a folder listing in listing order, skipping
    // "." and "..", and calls load(number, fileName) for every entry whose
    // number is not in 'taken' yet. A number joins 'taken' when load returns
    // true, so a later file with that number is skipped, while one whose
    // loading failed leaves the number free for the next file that gives it.
    static void Scan(const std::vector<std::string>& listing, std::set<int32_t>& taken,
                     const std::function<bool(int32_t number, const std::string& fileName)>& load);
};
