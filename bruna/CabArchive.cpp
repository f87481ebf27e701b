#include "bruna/CabArchive.h"

#include "bruna/DosDateTime.h"
#include "bruna/MemberName.h"
#include "framework/FaultGuard.h"
#include "framework/KernelHandle.h"

#include <cstring>
#include <map>
#include <vector>

namespace {

// Cabinet tables lie near the start; a cabinet may hold 65535 members of
// 256-byte names, so the header read grows up to this bound.
constexpr DWORD kMaxTableBytes = 20u * 1024u * 1024u;

// Reads the cabinet's tables; false also when the file is shorter than the
// cabinet says it is (a truncated download cannot be read completely).
bool ReadHeader(const char* path, CabHeader& header)
{
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    // Growing the buffer may throw: the export answers that, the owner closes the file.
    std::vector<uint8_t> bytes;
    bool parsed = false;
    DWORD want = 64 * 1024;
    for (;;) {
        const size_t had = bytes.size();
        bytes.resize(want);
        DWORD got = 0;
        if (!ReadFile(file.Get(), bytes.data() + had, want - static_cast<DWORD>(had), &got, nullptr)) break;
        bytes.resize(had + got);
        parsed = header.Parse(bytes.data(), bytes.size());
        if (parsed || bytes.size() < want || want >= kMaxTableBytes) break;
        want *= 4;
        if (want > kMaxTableBytes) want = kMaxTableBytes;
    }
    LARGE_INTEGER fileSize{};
    if (parsed && (!GetFileSizeEx(file.Get(), &fileSize) || fileSize.QuadPart < header.cabinetSize)) parsed = false;
    return parsed;
}

ArcFileTime ToUtc(uint16_t date, uint16_t time)
{
    const uint64_t ticks = DosDateTime::ToFileTimeTicks(DosDateTime::Decode(date, time));
    FILETIME local{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    FILETIME utc{0, 0};
    if (ticks) LocalFileTimeToFileTime(&local, &utc);
    return ArcFileTime{utc.dwLowDateTime, utc.dwHighDateTime};
}

struct ListContext {
    std::vector<ArcFindData> members;
    bool implausible = false;
};

INT_PTR DIAMONDAPI ListNotify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION n)
{
    ListContext* ctx = static_cast<ListContext*>(n->pv);
    // Listing skips every member's data, so FDI never needs a next cabinet.
    if (type == fdintNEXT_CABINET) return -1;
    if (type != fdintCOPY_FILE) return 0;
    // Damaged cabinets make FDI report empty names and negative sizes.
    if (!MemberName::IsPlausible(n->psz1) || n->cb < 0 || static_cast<unsigned long>(n->cb) > 0xFFFFFFFFul) {
        ctx->implausible = true;
        return -1;
    }
    try {
        ArcFindData data;
        std::memset(&data, 0, sizeof data);
        data.lastWriteTime = ToUtc(n->date, n->time);
        data.attributes = n->attribs & 0x27; // read-only, hidden, system, archive
        std::strcpy(data.fileName, n->psz1);
        std::strcpy(data.method, "cab");
        ctx->members.push_back(data);
    } catch (...) {
        ctx->implausible = true;
        return -1;
    }
    return 0; // skip the member's data
}

// A member continued into the next cabinet of a set makes FDI ask for that
// cabinet; when it cannot be opened FDI asks again, for ever, until told to
// stop. Sets beyond this length are not skins.
constexpr int kMaxCabinetsFollowed = 64;

// One decoding pass of FDI over the cabinet: it delivers the member asked
// for and, within a memory budget, the members that follow it, because
// every pass decodes each folder from its start and a caller that walks the
// members in order would otherwise decode the cabinet once per member.
struct ExtractContext {
    CabStreamLayer* layer = nullptr;
    const std::vector<ArcFindData>* catalogue = nullptr;
    size_t target = 0;   // catalogue index of the member asked for
    size_t next = 0;     // index of the next member FDI reports
    uint64_t budget = 0; // bytes still allowed for members ahead
    int cabinetsFollowed = 0;
    INT_PTR stream = 0; // the member being written, if any
    size_t streamIndex = 0;
    HGLOBAL result = nullptr;        // the target's bytes
    std::map<size_t, HGLOBAL> ahead; // members after the target
    bool stopped = false;            // ended by us once the work was done
};

INT_PTR DIAMONDAPI ExtractNotify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION n)
{
    ExtractContext* ctx = static_cast<ExtractContext*>(n->pv);
    switch (type) {
    case fdintCOPY_FILE: {
        const size_t index = ctx->next++;
        const bool known =
            index < ctx->catalogue->size() && n->psz1 && std::strcmp((*ctx->catalogue)[index].fileName, n->psz1) == 0;
        if (n->cb < 0 || ctx->stream) return -1;
        const uint32_t size = static_cast<uint32_t>(n->cb);
        if (index == ctx->target) {
            if (!known || size > kMaxMemberSize) return -1;
        } else if (ctx->result) {
            // Past the target: keep what fits the budget, then stop.
            if (!known || size > ctx->budget) {
                ctx->stopped = true;
                return -1;
            }
            ctx->budget -= size;
        } else {
            return 0; // before the target: skip
        }
        ctx->stream = ctx->layer->OpenMemoryStream(size);
        ctx->streamIndex = index;
        return ctx->stream ? ctx->stream : -1;
    }
    case fdintCLOSE_FILE_INFO: {
        if (n->hf != ctx->stream || !ctx->stream) return FALSE;
        HGLOBAL block = ctx->layer->DetachMemoryStream(n->hf);
        ctx->stream = 0;
        if (!block) return FALSE;
        if (ctx->streamIndex == ctx->target) {
            ctx->result = block;
        } else {
            try {
                ctx->ahead.emplace(ctx->streamIndex, block);
            } catch (...) {
                GlobalFree(block);
                return FALSE;
            }
        }
        return TRUE;
    }
    case fdintNEXT_CABINET:
        // Go on with the next cabinet FDI names (beside this one), unless
        // it has just failed to open it, or the target is done already.
        if (ctx->result && !ctx->stream) {
            ctx->stopped = true;
            return -1;
        }
        if (n->fdie != FDIERROR_NONE || ++ctx->cabinetsFollowed > kMaxCabinetsFollowed) return -1;
        return 0;
    default:
        return 0;
    }
}

struct CopyCall {
    HFDI fdi;
    char* cabinet;
    char* folder;
    PFNFDINOTIFY notify;
    void* user;
    BOOL result;
};

void RunCopy(void* p)
{
    CopyCall* c = static_cast<CopyCall*>(p);
    c->result = FDICopy(c->fdi, c->cabinet, c->folder, 0, c->notify, nullptr, c->user);
}

struct CreateCall {
    ERF* erf;
    HFDI result;
};

void RunCreate(void* p)
{
    CreateCall* c = static_cast<CreateCall*>(p);
    c->result = FDICreate(CabStreamLayer::Alloc, CabStreamLayer::Free, CabStreamLayer::Open, CabStreamLayer::Read,
                          CabStreamLayer::Write, CabStreamLayer::Close, CabStreamLayer::Seek, cpu80386, c->erf);
}

void RunDestroy(void* p)
{
    FDIDestroy(static_cast<HFDI>(p));
}

struct IsCabinetCall {
    HFDI fdi;
    INT_PTR stream;
    BOOL result;
};

void RunIsCabinet(void* p)
{
    IsCabinetCall* c = static_cast<IsCabinetCall*>(p);
    FDICABINETINFO info;
    c->result = FDIIsCabinet(c->fdi, c->stream, &info);
}

// FDI wants writable strings.
std::vector<char> Writable(const std::string& s)
{
    return std::vector<char>(s.c_str(), s.c_str() + s.size() + 1);
}

} // namespace

CabArchive::CabArchive() = default;

CabArchive::~CabArchive()
{
    Close();
}

std::unique_ptr<Archive> CabArchive::NewOfSameKind() const
{
    return std::make_unique<CabArchive>();
}

bool CabArchive::CreateContext()
{
    CabStreamLayer::Scope scope(m_layer);
    CreateCall call{&m_erf, nullptr};
    if (!faultguard::Run(RunCreate, &call, nullptr)) call.result = nullptr;
    m_fdi = call.result;
    if (!m_fdi) m_layer.ReleaseAll();
    return m_fdi != nullptr;
}

void CabArchive::DestroyContext()
{
    CabStreamLayer::Scope scope(m_layer);
    if (m_fdi) faultguard::Run(RunDestroy, m_fdi, nullptr);
    m_fdi = nullptr;
    // Whatever FDI did not give back (after a fault, or its own leaks).
    m_layer.ReleaseAll();
}

bool CabArchive::Close()
{
    ReleaseAhead();
    DestroyContext();
    m_cabinetName.clear();
    m_cabinetFolder.clear();
    return Archive::Close();
}

bool CabArchive::IsCabinet(const char* path)
{
    if (!path) return false;
    CabStreamLayer layer;
    CabStreamLayer::Scope scope(layer);
    ERF erf{};
    CreateCall create{&erf, nullptr};
    if (!faultguard::Run(RunCreate, &create, nullptr) || !create.result) return false;
    IsCabinetCall test{create.result, layer.OpenFileForRead(path), FALSE};
    bool ok = false;
    if (test.stream != -1) {
        ok = faultguard::Run(RunIsCabinet, &test, nullptr) && test.result;
        layer.CloseStream(test.stream);
    }
    faultguard::Run(RunDestroy, create.result, nullptr);
    return ok; // the layer releases what the calls left behind
}

bool CabArchive::Open(const char* path)
{
    Close();
    if (!path) return false;
    CabHeader header;
    if (!ReadHeader(path, header) || !IsCabinet(path) || !CreateContext()) return false;
    MemberName::SplitPath(path, m_cabinetFolder, m_cabinetName);

    ListContext list;
    bool ok = false;
    {
        CabStreamLayer::Scope scope(m_layer);
        std::vector<char> name = Writable(m_cabinetName);
        std::vector<char> folder = Writable(m_cabinetFolder);
        CopyCall call{m_fdi, name.data(), folder.data(), ListNotify, &list, FALSE};
        ok = faultguard::Run(RunCopy, &call, nullptr) && call.result && !list.implausible;
    }
    // FDI must report exactly the members the file table says begin here,
    // in its order; anything else is a cabinet it misread.
    std::vector<const CabHeader::File*> starting;
    for (const CabHeader::File& f : header.files)
        if (f.StartsHere()) starting.push_back(&f);
    if (ok && list.members.size() != starting.size()) ok = false;
    for (size_t i = 0; ok && i < starting.size(); ++i)
        ok = starting[i]->name == list.members[i].fileName;
    if (!ok || list.members.empty()) {
        Close();
        return false;
    }
    SetOpened(path, std::move(list.members));
    return true;
}

HGLOBAL CabArchive::ExtractToMemory(const char* name)
{
    if (!IsOpen() || !name || !m_fdi) return nullptr;
    // The first listed member of that name; unlisted names are not looked
    // for (that would be a full decode of the cabinet to find nothing).
    const std::vector<ArcFindData>& catalogue = Catalogue();
    size_t target = 0;
    while (target < catalogue.size() && !MemberName::EqualsIgnoreCase(catalogue[target].fileName, name))
        ++target;
    if (target == catalogue.size()) return nullptr;
    const auto cached = m_ahead.find(target);
    if (cached != m_ahead.end()) {
        // Handed over once; asked again, it is decoded again.
        HGLOBAL block = cached->second;
        m_ahead.erase(cached);
        return block;
    }
    ReleaseAhead();

    ExtractContext ctx;
    ctx.layer = &m_layer;
    ctx.catalogue = &catalogue;
    ctx.target = target;
    ctx.budget = kReadAheadBudget;
    bool ok = false;
    {
        CabStreamLayer::Scope scope(m_layer);
        std::vector<char> cabinet = Writable(m_cabinetName);
        std::vector<char> folder = Writable(m_cabinetFolder);
        CopyCall call{m_fdi, cabinet.data(), folder.data(), ExtractNotify, &ctx, FALSE};
        const bool returned = faultguard::Run(RunCopy, &call, nullptr);
        ok = returned && (call.result || (ctx.stopped && ctx.result));
    }
    if (!ok) {
        // Nothing of a failed pass is trusted, and the context may be left
        // in any state: start a fresh one.
        if (ctx.result) GlobalFree(ctx.result);
        for (auto& entry : ctx.ahead)
            GlobalFree(entry.second);
        DestroyContext();
        CreateContext();
        return nullptr;
    }
    m_ahead = std::move(ctx.ahead);
    return ctx.result;
}

void CabArchive::ReleaseAhead()
{
    for (auto& entry : m_ahead)
        GlobalFree(entry.second);
    m_ahead.clear();
}
