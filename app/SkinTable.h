#pragma once
// The main window's skin table: which skin window belongs to which host
// window. Entries are ordered by the host window handle's value taken as an
// unsigned 32-bit number, ascending; every pass over all skins walks that
// order. Window handles are 32-bit values in every Windows process (64-bit
// ones included, so that they can be shared with 32-bit processes), so the
// low 32 bits identify a window.
//
// Handles are kept as void* so this stays free of Windows headers; HWND
// converts to it implicitly and back with a static_cast.
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

class SkinTable {
  public:
    using Handle = void*;

    struct Entry {
        Handle host;
        Handle skin;
    };

    // Enters the pair; an entry for the same host window gets the new skin window.
    void Attach(Handle host, Handle skin);
    // Removes the host window's entry and returns its skin window, or null.
    Handle Detach(Handle host);
    // Removes the entries whose skin window is 'skin': a skin window destroyed
    // for any reason (its host vanished, its creation failed) must not stay
    // listed. True when an entry was removed.
    bool RemoveSkin(Handle skin);
    // The skin window of a host window, or null.
    Handle SkinOf(Handle host) const;

    // A copy of the entries in table order. The main window walks this copy:
    // the sends made for each entry dispatch incoming sent messages, and an
    // attach or detach arriving then changes the table under the walk.
    std::vector<Entry> Entries() const;

    size_t Size() const { return m_entries.size(); }
    bool Empty() const { return m_entries.empty(); }

    // The ordering key of a handle.
    static uint32_t Key(Handle handle) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)); }

  private:
    std::map<uint32_t, Entry> m_entries;
};
