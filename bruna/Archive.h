#pragma once
// An archive reader behind the library's handle: the member catalogue built
// once by Open, the find position, and extraction of one member by name.
#include "bruna/ArcFindData.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class Archive {
  public:
    Archive() = default;
    virtual ~Archive() = default;
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    virtual bool Open(const char* path) = 0;
    // False when nothing is open.
    virtual bool Close();
    // FindFirst does not rewind: it returns the record at the current
    // position, which is the first member only right after Open.
    virtual bool FindFirst(ArcFindData* data);
    // Copies the archive path (at most 259 bytes and a zero) into out.
    virtual void GetArchiveName(char* out) const;
    // Whether a member of exactly this name (letter case significant) is
    // listed, read from a second reader of the same kind.
    virtual bool Contains(const char* name) const;
    virtual bool FindNext(ArcFindData* data);
    // A fixed global block of exactly the member's bytes, owned by the
    // caller (GlobalFree), or NULL.
    virtual HGLOBAL ExtractToMemory(const char* name) = 0;
    // One-shot extraction through a temporary reader of the same kind.
    virtual HGLOBAL ExtractFile(const char* archivePath, const char* name) const;

    // Writes the member into a new file at outputPath (its folder must
    // exist). False, and no file left behind, when anything fails.
    bool ExtractToFile(const char* name, const char* outputPath);

    bool IsOpen() const { return m_open; }

  protected:
    virtual std::unique_ptr<Archive> NewOfSameKind() const = 0;

    // Called by Open of a subclass once its catalogue is complete.
    void SetOpened(const char* path, std::vector<ArcFindData> catalogue);
    const std::vector<ArcFindData>& Catalogue() const { return m_catalogue; }

  private:
    bool m_open = false;
    std::vector<ArcFindData> m_catalogue;
    size_t m_position = 0;
    std::string m_path;
};
