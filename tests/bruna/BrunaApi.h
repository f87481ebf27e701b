#pragma once
// bruna.dll loaded from the build's bin folder, its exports looked up by the
// plain names the program uses.
#include <windows.h>

#include "bruna/ArcFindData.h"

#include <string>

struct BrunaApi {
    using OpenFn = void*(__cdecl*)(const char*);
    using CloseFn = BOOL(__cdecl*)(void*);
    using FindFn = BOOL(__cdecl*)(void*, ArcFindData*);
    using ExtractFn = HGLOBAL(__cdecl*)(void*, const char*);
    using ExtractFileFn = BOOL(__cdecl*)(void*, const char*, const char*);

    // One family of exports: "Arc", "Zip" or "Cab".
    struct Family {
        OpenFn Open = nullptr;
        CloseFn Close = nullptr;
        FindFn FindFirst = nullptr;
        FindFn FindNext = nullptr;
        ExtractFn ExtractToMemory = nullptr;
        ExtractFileFn ExtractToFile = nullptr;
    };

    BrunaApi();
    ~BrunaApi();
    BrunaApi(const BrunaApi&) = delete;
    BrunaApi& operator=(const BrunaApi&) = delete;

    bool Loaded() const;
    FARPROC Proc(const char* name) const;

    HMODULE module = nullptr;
    Family arc, zip, cab;
};

// The bytes of a global block (empty for NULL), then frees it.
std::string TakeBlock(HGLOBAL block);
