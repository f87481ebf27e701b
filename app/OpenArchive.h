#pragma once
// An archive opened through bruna, closed when the object goes away.
#include <string>
#include <vector>

#include "bruna/bruna.h"

class OpenArchive {
  public:
    // ArcOpen: ZIP or cabinet, as the library decides.
    explicit OpenArchive(const std::string& path) : m_handle(ArcOpen(path.c_str())) {}
    ~OpenArchive() { Close(); }
    OpenArchive(const OpenArchive&) = delete;
    OpenArchive& operator=(const OpenArchive&) = delete;

    bool IsOpen() const { return m_handle != nullptr; }
    HARC Handle() const { return m_handle; }
    void Close()
    {
        if (m_handle) ArcClose(m_handle);
        m_handle = nullptr;
    }

    // Writes member 'name' to 'outputPath' (whose folder must exist).
    bool ExtractToFile(const std::string& name, const std::string& outputPath) const
    {
        return m_handle && ArcExtractToFile(m_handle, name.c_str(), outputPath.c_str());
    }

    // The members from the find position on (ArcFindFirst, then ArcFindNext
    // while one is found), at most 'limit' of them: enough to tell that an
    // archive has too many.
    std::vector<ArcFindData> Members(std::size_t limit) const
    {
        std::vector<ArcFindData> members;
        ArcFindData data{};
        for (BOOL found = ArcFindFirst(m_handle, &data); found && members.size() < limit;
             found = ArcFindNext(m_handle, &data)) {
            data.fileName[sizeof data.fileName - 1] = '\0';
            members.push_back(data);
        }
        return members;
    }

  private:
    HARC m_handle;
};
