#pragma once
// The real selka.dll, loaded by name as other programs load it, with its
// exports looked up by their plain names.
#include <windows.h>

#include <string>

#include "harness/TestEnv.h"

struct SelkaLibrary {
    using SendFn = int(__cdecl*)(HWND, HWND, const char*, const char*, const char*);
    using NotifyFn = int(__cdecl*)(HWND, HWND, const char*, const char*, const char*, const char*, const char*,
                                   const char*, const char*, const char*, const char*, const char*, const char*);
    using RequestFn = int(__cdecl*)(HWND, HWND, const char*);
    using LoadPngFn = HGLOBAL(__cdecl*)(const char*);
    using RegionFn = HRGN(__cdecl*)(const void*);
    using Md5Fn = int(__cdecl*)(const void*, int, char*);
    using BatteryFn = int(__cdecl*)(int*, int*);
    using ResourcesFn = int(__cdecl*)(WORD);
    using ZOrderFn = int(__cdecl*)(HWND, HWND, int, UINT);
    using StringFn = HGLOBAL(__cdecl*)(const char*, int*);

    HMODULE module = nullptr;
    SendFn DSSTPSend = nullptr;
    NotifyFn DSSTPNotify = nullptr;
    RequestFn DSSTPRequest = nullptr;
    LoadPngFn LoadPNGFile = nullptr;
    RegionFn CreateDIBitmapRegion = nullptr;
    Md5Fn GetMD5MessageDigest = nullptr;
    BatteryFn GetBatteryStatus = nullptr;
    ResourcesFn GetFreeSystemResources = nullptr;
    ZOrderFn SetOstraZOrder = nullptr;
    StringFn StringToGlobalMem = nullptr;

    SelkaLibrary()
    {
        module = LoadLibraryA(testenv::Join(testenv::BinDir(), "selka.dll").c_str());
        if (!module) return;
        Resolve(DSSTPSend, "DSSTPSend");
        Resolve(DSSTPNotify, "DSSTPNotify");
        Resolve(DSSTPRequest, "DSSTPRequest");
        Resolve(LoadPNGFile, "LoadPNGFile");
        Resolve(CreateDIBitmapRegion, "CreateDIBitmapRegion");
        Resolve(GetMD5MessageDigest, "GetMD5MessageDigest");
        Resolve(GetBatteryStatus, "GetBatteryStatus");
        Resolve(GetFreeSystemResources, "GetFreeSystemResources");
        Resolve(SetOstraZOrder, "SetOstraZOrder");
        Resolve(StringToGlobalMem, "StringToGlobalMem");
    }
    ~SelkaLibrary()
    {
        if (module) FreeLibrary(module);
    }
    SelkaLibrary(const SelkaLibrary&) = delete;
    SelkaLibrary& operator=(const SelkaLibrary&) = delete;

    bool Complete() const
    {
        return module && DSSTPSend && DSSTPNotify && DSSTPRequest && LoadPNGFile && CreateDIBitmapRegion &&
               GetMD5MessageDigest && GetBatteryStatus && GetFreeSystemResources && SetOstraZOrder && StringToGlobalMem;
    }

  private:
    template <typename Fn> void Resolve(Fn& fn, const char* name)
    {
        fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
};
