// The exported entry points. No C++ exception leaves them; faults inside the
// cabinet decompressor are caught further in (CabArchive).
#include "bruna/bruna.h"

#include "bruna/CabArchive.h"
#include "bruna/ZipArchive.h"

#include <memory>
#include <new>

namespace {

Archive* FromHandle(HARC archive)
{
    return reinterpret_cast<Archive*>(archive);
}

template <class Reader> Archive* TryOpen(const char* path)
{
    std::unique_ptr<Archive> a(new (std::nothrow) Reader);
    if (!a || !a->Open(path)) return nullptr;
    return a.release();
}

HARC Open(const char* path, bool zip, bool cab)
{
    if (!path) return nullptr;
    try {
        Archive* a = zip ? TryOpen<ZipArchive>(path) : nullptr;
        if (!a && cab) a = TryOpen<CabArchive>(path);
        return reinterpret_cast<HARC>(a);
    } catch (...) {
        return nullptr;
    }
}

} // namespace

extern "C" {

HARC __cdecl ArcOpen(const char* path)
{
    return Open(path, true, true);
}
HARC __cdecl ZipOpen(const char* path)
{
    return Open(path, true, false);
}
HARC __cdecl CabOpen(const char* path)
{
    return Open(path, false, true);
}

BOOL __cdecl ArcClose(HARC archive)
{
    if (!archive) return FALSE;
    try {
        delete FromHandle(archive);
    } catch (...) {
    }
    return TRUE;
}

BOOL __cdecl ArcFindFirst(HARC archive, ArcFindData* data)
{
    if (!archive || !data) return FALSE;
    try {
        return FromHandle(archive)->FindFirst(data) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL __cdecl ArcFindNext(HARC archive, ArcFindData* data)
{
    if (!archive || !data) return FALSE;
    try {
        return FromHandle(archive)->FindNext(data) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

HGLOBAL __cdecl ArcExtractToMemory(HARC archive, const char* name)
{
    if (!archive || !name) return nullptr;
    try {
        return FromHandle(archive)->ExtractToMemory(name);
    } catch (...) {
        return nullptr;
    }
}

BOOL __cdecl ArcExtractToFile(HARC archive, const char* name, const char* outputPath)
{
    if (!archive || !name || !outputPath) return FALSE;
    try {
        return FromHandle(archive)->ExtractToFile(name, outputPath) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

} // extern "C"
