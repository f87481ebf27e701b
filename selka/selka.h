#pragma once
// selka: the host link library. Direct SSTP to the host's windows, PNG
// surfaces as packed DIBs and their window shapes, and a few system queries.
//
// Every export is a plain C function under its undecorated name (fixed by
// selka.def) with the cdecl convention: the caller removes the arguments.
// Strings are NUL-terminated byte strings in the system's ANSI code page
// (Shift_JIS on the machines the program serves). No export shows a message
// except CreateDIBitmapRegion's "Invalid DIB Format" box.
//
// Pointers from the caller: every export uses the caller's memory (reads its
// strings and pictures, writes its out values) inside a structured-exception
// guard. Memory that cannot be read or written there gives the export's
// failure result as documented below (0 or NULL), never a crash; nothing is
// probed beforehand. No C++ exception leaves an export either.
#include <windows.h>

#ifdef SELKA_BUILDING
#define SELKA_API
#else
#define SELKA_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

// ---- Direct SSTP ----------------------------------------------------------
// Each call builds one SSTP request and delivers it as WM_COPYDATA to hwndTo
// (dwData 9801, cbData the text length without a NUL, wParam hwndFrom) with
// one SendMessageTimeoutA(SMTO_ABORTIFHUNG, 1000 ms). The result is that
// call's result: nonzero when the target processed the message, 0 when it is
// not a window, hung, too slow, a string cannot be read, or memory for the
// text ran out (nothing is sent then). The library
// keeps nothing: the caller owns every string it passes. A null required
// string is sent as an empty one.

// "SEND SSTP/1.5": Sender, Script (closed by one added "\e"), Options (only
// when not null or empty), HWnd (hwndFrom as a signed 32-bit "%d").
SELKA_API int __cdecl DSSTPSend(HWND hwndFrom, HWND hwndTo, const char* sender, const char* script,
                                const char* options);

// "NOTIFY SSTP/1.1": Sender, Event, ReferenceN for each reference that is
// neither null nor empty, then, when script is not null (empty counts as
// present), Script and "Options: nodescript"; "Charset: Shift_JIS" last.
SELKA_API int __cdecl DSSTPNotify(HWND hwndFrom, HWND hwndTo, const char* sender, const char* script, const char* event,
                                  const char* reference0, const char* reference1, const char* reference2,
                                  const char* reference3, const char* reference4, const char* reference5,
                                  const char* reference6, const char* reference7);

// Sends 'request' unchanged; the caller writes the whole SSTP text.
SELKA_API int __cdecl DSSTPRequest(HWND hwndFrom, HWND hwndTo, const char* request);

// ---- Image services -------------------------------------------------------
// Decodes the PNG file 'path' into a packed DIB: a 40-byte BITMAPINFOHEADER
// (positive height: rows bottom-up), biClrUsed palette entries (blue, green,
// red, 0), then the rows, each padded to 4 bytes. Grey 1 bit gives 1 bit with
// black and white; grey 2 bits 8 bits with the samples 0..3 unscaled; grey 4
// bits 4 bits with greys 17i; grey 8/16 bits and grey with alpha 8 bits with
// greys i; palette images keep their depth (2 bits become 8) and their PLTE;
// RGB gives 24 bits, RGB with alpha 32 bits (B, G, R, A). 16-bit samples keep
// their high byte; tRNS and gamma are ignored.
// Returns fixed, zero-initialised global memory (the pointer is also the
// HGLOBAL): THE CALLER OWNS IT and frees it with GlobalFree. NULL, silently,
// when the file cannot be read or is not a sound PNG.
SELKA_API HGLOBAL __cdecl LoadPNGFile(const char* path);

// The window shape of a packed DIB of 4, 8 or 24 bits laid out as above:
// every pixel whose value (palette index, or the three bytes) differs from the
// top-left pixel, as one rectangle per run of such pixels, in picture
// coordinates (y = 0 at the top). When every pixel equals the top-left one
// the result is the rectangle (0, height) - (1, height + 1) just below the
// picture. Other bit counts show "Invalid DIB Format" and return NULL; a
// 4-bit picture with 4249 runs or more returns NULL silently; a null or
// unreadable header, or a top-down or compressed bitmap, returns NULL; a
// palette or pixel area that cannot be read gives the rectangle below the
// picture, as a picture without shape does.
// THE CALLER OWNS the region and deletes it with DeleteObject.
// The DIB stays the caller's.
SELKA_API HRGN __cdecl CreateDIBitmapRegion(const void* dib);

// ---- System services ------------------------------------------------------
// Writes the MD5 digest (RFC 1321) of 'length' bytes at 'data' into 'digest'
// as 32 lowercase hexadecimal digits and a NUL (33 bytes, owned by the
// caller). Returns 1; 0 when the input cannot be read, the output cannot be
// written or the length is negative.
SELKA_API int __cdecl GetMD5MessageDigest(const void* data, int length, char* digest);

// Power state (0 no battery information, 1 mains with a battery, 2 on
// battery) and charge (0..100; unknown reads 100). Each out value is written
// only when it differs from the value this library last reported for it (the
// first call reports both); returns 1 when anything was written, else 0 (also
// when an out value cannot be written). The caller keeps the values between
// calls. Not safe in two threads at once.
SELKA_API int __cdecl GetBatteryStatus(int* powerState, int* charge);

// Free resources of 'kind' (0 system, 1 GDI, 2 user) in percent: 90 on every
// NT-family system; 0 elsewhere.
SELKA_API int __cdecl GetFreeSystemResources(WORD kind);

// Puts hwndSkin in the z-order beside hwndHost: directly behind it when
// onTop is 0, else above it (topmost when the host is). swpFlags are added to
// every SetWindowPos. Returns the last SetWindowPos result, or swpFlags
// unchanged when onTop is set and the left mouse button is held.
SELKA_API int __cdecl SetOstraZOrder(HWND hwndSkin, HWND hwndHost, int onTop, UINT swpFlags);

// Copies 'text' with its NUL into fixed, zero-initialised global memory and
// stores the length without the NUL in *length when length is not null.
// THE RECEIVER OWNS the block (the pointer is also the HGLOBAL) and frees it
// with GlobalFree. NULL when text is null or cannot be read, when *length
// cannot be written, or when memory runs out; *length is then untouched
// (or could not be touched).
SELKA_API HGLOBAL __cdecl StringToGlobalMem(const char* text, int* length);

#ifdef __cplusplus
}
#endif
