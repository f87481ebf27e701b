#pragma once
// dorvy: the sample script module. Exports under plain names (dorvy.def),
// cdecl: the caller removes the arguments. Texts are CR LF lines in the ANSI
// code page, handed over as fixed global memory blocks (pointer = HGLOBAL).
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Takes ownership of 'directory' (the skin folder as text) and frees it at
// once; the length is ignored. Always TRUE.
BOOL __cdecl load(HGLOBAL directory, long length);

// Always TRUE; keeps nothing.
BOOL __cdecl unload(void);

// Takes ownership of 'requestBlock' (freed before parsing, whatever happens)
// and reads at most *length bytes of it, up to a zero byte. Answers the
// version probe ("GET Version...", 41 bytes) and "GET Sentence..." requests
// whose last "Event: " line names OnQuibbetObjectHit or OnMouseDoubleClick
// (37 bytes each). The answer is fixed, zero-initialised global memory with
// a NUL after the text: THE CALLER OWNS IT and frees it with GlobalFree;
// *length becomes the text length without the NUL. NULL, with *length
// unchanged, for anything else.
HGLOBAL __cdecl request(HGLOBAL requestBlock, long* length);

#ifdef __cplusplus
}
#endif
