#pragma once
// The named mapping "Ostra" through which scripts of the host find the skin
// windows: created with the main window, rewritten whole from the skin table
// on every change of it, closed with the main window.
#include <windows.h>

#include "app/SkinTable.h"
#include "framework/KernelHandle.h"

class SharedBlock {
  public:
    static constexpr char kName[] = "Ostra";

    // Creates the page-file-backed mapping; false when it could not be made
    // (publishing then does nothing).
    bool Create();
    void Close();

    // Writes the table's entries as SharedBlockImage lays them out; the
    // skin window's text is its name, its id the MD5 digest of its handle's
    // decimal text (selka's GetMD5MessageDigest).
    void Publish(const SkinTable& table);

  private:
    KernelHandle m_mapping;
};
