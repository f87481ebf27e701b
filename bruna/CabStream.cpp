#include "bruna/CabStream.h"

#include "bruna/ArcFindData.h"
#include "bruna/GlobalBlock.h"

#include <fcntl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {
thread_local CabStreamLayer* t_current = nullptr;
}

CabStreamLayer::~CabStreamLayer()
{
    ReleaseAll();
}

CabStreamLayer::Scope::Scope(CabStreamLayer& layer) : m_previous(t_current)
{
    t_current = &layer;
}

CabStreamLayer::Scope::~Scope()
{
    t_current = m_previous;
}

CabStreamLayer* CabStreamLayer::Current()
{
    return t_current;
}

CabStream* CabStreamLayer::Find(INT_PTR hf)
{
    CabStream* s = reinterpret_cast<CabStream*>(hf);
    return m_streams.count(s) ? s : nullptr;
}

void CabStreamLayer::Destroy(CabStream* s)
{
    // The record owns its file, closed when it is deleted.
    if (s->isMemory && s->data) GlobalFree(s->data);
    m_streams.erase(s);
    delete s;
}

void CabStreamLayer::ReleaseAll()
{
    while (!m_streams.empty())
        Destroy(*m_streams.begin());
    for (void* block : m_blocks)
        GlobalFree(block);
    m_blocks.clear();
}

void* DIAMONDAPI CabStreamLayer::Alloc(ULONG cb)
{
    CabStreamLayer* layer = Current();
    if (!layer) return nullptr;
    void* block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, cb ? cb : 1);
    if (!block) return nullptr;
    try {
        layer->m_blocks.insert(block);
    } catch (...) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

void DIAMONDAPI CabStreamLayer::Free(void* pv)
{
    // A pointer we never handed out is ignored rather than freed.
    CabStreamLayer* layer = Current();
    if (layer && pv && layer->m_blocks.erase(pv)) GlobalFree(pv);
}

INT_PTR CabStreamLayer::OpenFile(const char* path, int oflag)
{
    if (!path) return -1;
    // Ask only for the access the mode needs: a cabinet on read-only media
    // must still open for reading.
    DWORD access = GENERIC_READ;
    switch (oflag & (_O_RDONLY | _O_WRONLY | _O_RDWR)) {
    case _O_WRONLY:
        access = GENERIC_WRITE;
        break;
    case _O_RDWR:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    default:
        break;
    }
    const DWORD disposition = (oflag & _O_CREAT) ? CREATE_ALWAYS : OPEN_EXISTING;
    FileHandle file(CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return -1;
    std::unique_ptr<CabStream> s(new (std::nothrow) CabStream);
    if (!s) return -1;
    s->file = std::move(file);
    try {
        m_streams.insert(s.get());
    } catch (...) {
        return -1;
    }
    return reinterpret_cast<INT_PTR>(s.release());
}

INT_PTR CabStreamLayer::OpenFileForRead(const char* path)
{
    return OpenFile(path, _O_RDONLY);
}

INT_PTR DIAMONDAPI CabStreamLayer::Open(char* path, int oflag, int /*pmode*/)
{
    CabStreamLayer* layer = Current();
    return layer ? layer->OpenFile(path, oflag) : -1;
}

INT_PTR CabStreamLayer::OpenMemoryStream(uint32_t expectedSize)
{
    if (expectedSize > kMaxMemberSize) return 0;
    CabStream* s = new (std::nothrow) CabStream;
    if (!s) return 0;
    s->isMemory = true;
    s->capacity = expectedSize;
    s->data = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, expectedSize ? expectedSize : 1));
    if (!s->data) {
        delete s;
        return 0;
    }
    try {
        m_streams.insert(s);
    } catch (...) {
        GlobalFree(s->data);
        delete s;
        return 0;
    }
    return reinterpret_cast<INT_PTR>(s);
}

HGLOBAL CabStreamLayer::DetachMemoryStream(INT_PTR hf)
{
    CabStream* s = Find(hf);
    if (!s || !s->isMemory) return nullptr;
    HGLOBAL block = nullptr;
    if (s->size == s->capacity && s->size != 0) {
        block = s->data;
        s->data = nullptr;
    } else {
        // The member came out shorter than declared (or empty): a block of
        // exactly its length, so GlobalSize tells the caller the length.
        block = GlobalBlock::AllocExact(s->size);
        if (block && s->size) std::memcpy(block, s->data, s->size);
    }
    Destroy(s);
    return block;
}

int CabStreamLayer::CloseStream(INT_PTR hf)
{
    CabStream* s = Find(hf);
    if (!s) return -1;
    const bool ok = s->isMemory || s->file.Close();
    Destroy(s);
    return ok ? 0 : -1;
}

UINT DIAMONDAPI CabStreamLayer::Read(INT_PTR hf, void* pv, UINT cb)
{
    CabStreamLayer* layer = Current();
    CabStream* s = layer ? layer->Find(hf) : nullptr;
    if (!s || (!pv && cb)) return static_cast<UINT>(-1);
    if (s->isMemory) {
        const uint32_t available = s->position < s->size ? s->size - s->position : 0;
        const uint32_t n = cb < available ? cb : available;
        if (n) std::memcpy(pv, s->data + s->position, n);
        s->position += n;
        return n;
    }
    DWORD read = 0;
    if (!ReadFile(s->file.Get(), pv, cb, &read, nullptr)) return 0;
    return read;
}

UINT DIAMONDAPI CabStreamLayer::Write(INT_PTR hf, void* pv, UINT cb)
{
    CabStreamLayer* layer = Current();
    CabStream* s = layer ? layer->Find(hf) : nullptr;
    if (!s || (!pv && cb)) return static_cast<UINT>(-1);
    if (!s->isMemory) {
        DWORD written = 0;
        if (!WriteFile(s->file.Get(), pv, cb, &written, nullptr)) return static_cast<UINT>(-1);
        return written;
    }
    const uint64_t end = static_cast<uint64_t>(s->position) + cb;
    if (end > kMaxMemberSize) return static_cast<UINT>(-1);
    if (end > s->capacity) {
        // The member is longer than declared: grow geometrically.
        uint64_t capacity = s->capacity ? s->capacity : 4096;
        while (capacity < end)
            capacity *= 2;
        if (capacity > kMaxMemberSize) capacity = kMaxMemberSize;
        void* grown = GlobalReAlloc(s->data, static_cast<SIZE_T>(capacity), GMEM_MOVEABLE);
        if (!grown) return static_cast<UINT>(-1);
        s->data = static_cast<uint8_t*>(grown);
        s->capacity = static_cast<uint32_t>(capacity);
    }
    if (cb) std::memcpy(s->data + s->position, pv, cb);
    s->position = static_cast<uint32_t>(end);
    if (s->position > s->size) s->size = s->position;
    return cb;
}

int DIAMONDAPI CabStreamLayer::Close(INT_PTR hf)
{
    CabStreamLayer* layer = Current();
    return layer ? layer->CloseStream(hf) : -1;
}

LONG DIAMONDAPI CabStreamLayer::Seek(INT_PTR hf, LONG distance, int origin)
{
    CabStreamLayer* layer = Current();
    CabStream* s = layer ? layer->Find(hf) : nullptr;
    if (!s) return -1;
    if (!s->isMemory) {
        DWORD method = FILE_CURRENT;
        if (origin == SEEK_SET)
            method = FILE_BEGIN;
        else if (origin == SEEK_END)
            method = FILE_END;
        const DWORD pos = SetFilePointer(s->file.Get(), distance, nullptr, method);
        if (pos == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return -1;
        return static_cast<LONG>(pos);
    }
    int64_t base = s->position;
    if (origin == SEEK_SET)
        base = 0;
    else if (origin == SEEK_END)
        base = s->size;
    int64_t target = base + distance;
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return -1;
    }
    if (target > s->size) target = s->size;
    s->position = static_cast<uint32_t>(target);
    return static_cast<LONG>(target);
}
