#include "app/SkinTable.h"

void SkinTable::Attach(Handle host, Handle skin)
{
    m_entries[Key(host)] = Entry{host, skin};
}

SkinTable::Handle SkinTable::Detach(Handle host)
{
    auto it = m_entries.find(Key(host));
    if (it == m_entries.end()) return nullptr;
    Handle skin = it->second.skin;
    m_entries.erase(it);
    return skin;
}

bool SkinTable::RemoveSkin(Handle skin)
{
    bool removed = false;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (Key(it->second.skin) == Key(skin)) {
            it = m_entries.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    return removed;
}

SkinTable::Handle SkinTable::SkinOf(Handle host) const
{
    auto it = m_entries.find(Key(host));
    return it == m_entries.end() ? nullptr : it->second.skin;
}

std::vector<SkinTable::Entry> SkinTable::Entries() const
{
    std::vector<Entry> entries;
    entries.reserve(m_entries.size());
    for (const auto& item : m_entries)
        entries.push_back(item.second);
    return entries;
}
