#pragma once
// What the options sheet needs of the main window: the skin windows whose
// opacity it previews live. The main window answers with every skin window of
// its skin table, in the table's order.
#include <windows.h>

#include <vector>

class SkinWindowList {
  public:
    virtual ~SkinWindowList() = default;
    virtual std::vector<HWND> SkinWindows() const = 0;
};
