#pragma once
// The order of the skin catalogue: skin folders sorted by their full paths,
// byte by byte as unsigned values (so upper case before lower case, and
// Shift_JIS folder names after ASCII ones), a prefix before longer texts.
#include <string>
#include <vector>

struct SkinFolder {
    std::string path; // full path, no trailing backslash
    std::string name; // the folder's own name, as the listing returned it
};

// True when 'a' sorts before 'b' by unsigned byte values.
bool SkinPathLess(const std::string& a, const std::string& b);

// Sorts the folders by path; folders with equal paths keep their listing order.
void SortSkinFolders(std::vector<SkinFolder>& folders);
