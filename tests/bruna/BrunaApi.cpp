#include "bruna/BrunaApi.h"

#include "harness/TestEnv.h"

namespace {

BrunaApi::Family Load(HMODULE m, const std::string& prefix)
{
    BrunaApi::Family f;
    // Through void* so the compiler does not object to the function type.
    auto get = [&](const char* op) { return reinterpret_cast<void*>(GetProcAddress(m, (prefix + op).c_str())); };
    f.Open = reinterpret_cast<BrunaApi::OpenFn>(get("Open"));
    f.Close = reinterpret_cast<BrunaApi::CloseFn>(get("Close"));
    f.FindFirst = reinterpret_cast<BrunaApi::FindFn>(get("FindFirst"));
    f.FindNext = reinterpret_cast<BrunaApi::FindFn>(get("FindNext"));
    f.ExtractToMemory = reinterpret_cast<BrunaApi::ExtractFn>(get("ExtractToMemory"));
    f.ExtractToFile = reinterpret_cast<BrunaApi::ExtractFileFn>(get("ExtractToFile"));
    return f;
}

bool Complete(const BrunaApi::Family& f)
{
    return f.Open && f.Close && f.FindFirst && f.FindNext && f.ExtractToMemory && f.ExtractToFile;
}

} // namespace

BrunaApi::BrunaApi()
{
    module = LoadLibraryA(testenv::Join(testenv::BinDir(), "bruna.dll").c_str());
    if (!module) return;
    arc = Load(module, "Arc");
    zip = Load(module, "Zip");
    cab = Load(module, "Cab");
}

BrunaApi::~BrunaApi()
{
    if (module) FreeLibrary(module);
}

bool BrunaApi::Loaded() const
{
    return module && Complete(arc) && Complete(zip) && Complete(cab);
}

FARPROC BrunaApi::Proc(const char* name) const
{
    return module ? GetProcAddress(module, name) : nullptr;
}

std::string TakeBlock(HGLOBAL block)
{
    if (!block) return std::string();
    const SIZE_T size = GlobalSize(block);
    const char* p = static_cast<const char*>(GlobalLock(block));
    std::string bytes(p ? p : "", p ? size : 0);
    GlobalUnlock(block);
    GlobalFree(block);
    return bytes;
}
