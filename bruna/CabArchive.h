#pragma once
// The cabinet reader: lists and decodes through the platform's cabinet
// decompressor (FDI in cabinet.dll) with this library's stream layer. Every
// call into FDI runs under the fault guard, and the cabinet's own tables are read
// first (CabHeader), because hostile cabinets crash FDI or make it report
// nonsense entries.
#include "bruna/Archive.h"
#include "bruna/CabHeader.h"
#include "bruna/CabStream.h"

#include <fdi.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class CabArchive : public Archive {
  public:
    CabArchive();
    ~CabArchive() override;

    // Fails unless the file is a version 1.3 cabinet whose tables are
    // consistent, FDI accepts and lists it completely, and at least one
    // member begins in it. Members continued from a previous cabinet of a
    // set are not listed; a member continued into the next one is.
    bool Open(const char* path) override;
    bool Close() override;
    // The first listed member whose name equals name ignoring letter case.
    // A member continued into the next cabinet needs that cabinet beside
    // this one.
    HGLOBAL ExtractToMemory(const char* name) override;

    // Whether FDI recognises the file as a cabinet (a fault counts as no).
    static bool IsCabinet(const char* path);

  protected:
    std::unique_ptr<Archive> NewOfSameKind() const override;

  private:
    // Members decoded ahead of a request, kept for the requests that
    // follow: at most this many bytes per decoding pass.
    static constexpr uint64_t kReadAheadBudget = 32u * 1024u * 1024u;

    bool CreateContext();
    void DestroyContext();
    void ReleaseAhead();

    CabStreamLayer m_layer;
    HFDI m_fdi = nullptr;
    ERF m_erf{};
    std::string m_cabinetName;         // file name part of the path, for FDI
    std::string m_cabinetFolder;       // folder part, ending with its backslash
    std::map<size_t, HGLOBAL> m_ahead; // catalogue index -> owned block
};
