#pragma once
// The installed skins: every folder under the program's "skin" folder whose
// base image exists, in the byte order of the folders' paths. Menus list it
// in this order and commands address it as 100 + index. Built and read on
// the user-interface thread only.
#include <cstddef>
#include <string>
#include <vector>

#include "skin/SkinDefinition.h"

class SkinCatalogue {
  public:
    // Rebuilds the catalogue from the "skin" folder beside the program's
    // executable; true when it holds at least one skin.
    bool ScanSkins();
    // The same for any skin folder (its full path, no trailing backslash).
    bool ScanFolder(const std::string& skinFolder);

    std::size_t Size() const { return m_entries.size(); }
    bool Empty() const { return m_entries.empty(); }
    const SkinDefinition& operator[](std::size_t index) const { return m_entries[index]; }
    const std::vector<SkinDefinition>& Entries() const { return m_entries; }

    // The entry a skin window takes for a remembered skin name: the first
    // whose name equals it byte for byte and whose folder still exists,
    // otherwise entry 0. Meaningless on an empty catalogue.
    std::size_t IndexForRememberedSkin(const std::string& name) const;

    // The skin folder scanned last (full path, no trailing backslash): new
    // skins dropped on a skin window are installed there.
    const std::string& Folder() const { return m_folder; }

    // The program's "skin" folder: its executable's folder (cut after the
    // last backslash, double-byte aware) plus "skin".
    static std::string ProgramSkinFolder();

  private:
    std::vector<SkinDefinition> m_entries;
    std::string m_folder;
};
