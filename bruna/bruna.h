#pragma once
// bruna.dll: one interface over ZIP archives and Microsoft cabinet files.
//
// Open an archive with ArcOpen (either kind, ZIP tried first), ZipOpen or
// CabOpen; walk its members with FindFirst/FindNext; extract a member by
// name; close it. The find, extract and close exports of the three
// families are the same entry points: a handle from any open works with all.
// All exports are cdecl under these plain names; paths and member names are
// zero-terminated strings of the ANSI code page. Every export accepts a NULL
// handle and then returns FALSE or NULL. The calls on one handle must not
// run in parallel.
#include <windows.h>

#include "bruna/ArcFindData.h"

#ifdef __cplusplus
extern "C" {
#endif

// An open archive; NULL means failure.
typedef struct BrunaArchive* HARC;

// The archive at path, or NULL when it is not one the family reads. A ZIP
// archive without members opens (and lists nothing); a cabinet without
// members does not. The caller closes the handle with any of the close calls.
HARC __cdecl ArcOpen(const char* path);
HARC __cdecl ZipOpen(const char* path);
HARC __cdecl CabOpen(const char* path);

// Closes and destroys the archive. TRUE once destroyed; FALSE for NULL.
BOOL __cdecl ArcClose(HARC archive);
BOOL __cdecl ZipClose(HARC archive);
BOOL __cdecl CabClose(HARC archive);

// Copies the member at the find position into *data (all 292 bytes) and
// advances. FindFirst does not rewind: after FindNext has reached the end,
// FindFirst returns FALSE too.
BOOL __cdecl ArcFindFirst(HARC archive, ArcFindData* data);
BOOL __cdecl ZipFindFirst(HARC archive, ArcFindData* data);
BOOL __cdecl CabFindFirst(HARC archive, ArcFindData* data);
BOOL __cdecl ArcFindNext(HARC archive, ArcFindData* data);
BOOL __cdecl ZipFindNext(HARC archive, ArcFindData* data);
BOOL __cdecl CabFindNext(HARC archive, ArcFindData* data);

// The named member's bytes in a fixed global memory block of exactly its
// length (GlobalSize), or NULL. An empty member gives a block of GlobalSize
// 0 (a discarded moveable block: GlobalLock returns NULL for it). The caller owns the block and frees it with
// GlobalFree. ZIP members are chosen by their exact stored name (letter
// case significant, no wildcards); cabinet members ignoring letter case.
// Members over 256 MiB, encrypted ZIP members and damaged data give NULL.
HGLOBAL __cdecl ArcExtractToMemory(HARC archive, const char* name);
HGLOBAL __cdecl ZipExtractToMemory(HARC archive, const char* name);
HGLOBAL __cdecl CabExtractToMemory(HARC archive, const char* name);

// Writes the named member into a new file at outputPath; its folder must
// exist. FALSE, with no file left behind, when anything fails.
BOOL __cdecl ArcExtractToFile(HARC archive, const char* name, const char* outputPath);
BOOL __cdecl ZipExtractToFile(HARC archive, const char* name, const char* outputPath);
BOOL __cdecl CabExtractToFile(HARC archive, const char* name, const char* outputPath);

#ifdef __cplusplus
}
#endif
