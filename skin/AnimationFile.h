#pragma once
// Animation files ("surface" + number + "a.txt"): which lines are kept from
// the file and how the kept lines become animations. Any bytes are accepted;
// what cannot be understood is left out.
#include <string>
#include <string_view>
#include <vector>

#include "skin/Animation.h"

class AnimationFile {
  public:
    // The longest piece of a line taken at once (a 4096-byte line buffer with
    // its terminating NUL); the rest of a longer line follows as further pieces.
    static constexpr size_t kPieceLength = 4095;

    // The lines kept from a file's bytes, each cut at its end (its first CR,
    // LF or NUL), in file order. The bytes are read as a text file opened in
    // text mode: CR LF becomes LF and a Ctrl-Z byte ends the file. A piece is
    // dropped when it starts with "//" or a line break or has no "," before
    // its end. When no kept piece starts with an ASCII digit the file gives
    // no lines at all.
    static std::vector<std::string> ReadLines(std::string_view bytes);

    // The animations described by kept lines, in file order. Empty input gives
    // no animations; any line gives at least the one animation being
    // collected. Its kind stays Never until an interval line names one.
    static std::vector<Animation> Parse(const std::vector<std::string>& lines);
};
