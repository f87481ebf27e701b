#pragma once
// One installed skin: its folder and the keys of its "ostra.ini" (section
// "OSTRA"), plus the run-time parts a skin window fills when it loads the
// skin. Copies carry the definition only: a skin window loads its own
// surfaces and module into its copy, so copying never shares or duplicates
// loaded pictures or a module handle.
#include <windows.h>

#include <cstdint>
#include <string>

#include "skin/SurfaceImage.h"

// The script module's entry points; the caller removes the arguments.
using ModuleLoadProc = BOOL(__cdecl*)(HGLOBAL folder, long length);
using ModuleRequestProc = HGLOBAL(__cdecl*)(HGLOBAL request, long* length);
using ModuleUnloadProc = BOOL(__cdecl*)();

struct SkinDefinition {
    // Text limits, in bytes, of the values read from "ostra.ini" (the
    // private-profile buffers are one byte longer, for the NUL).
    static constexpr std::size_t kShortTextLimit = 199; // title, ghost
    static constexpr std::size_t kLongTextLimit = 259;  // category, module, base, animation, extractpath

    std::string name;    // the folder's own name
    std::string path;    // the folder's full path, without a trailing backslash
    std::string iniPath; // path + "\ostra.ini"
    std::string title;
    std::string ghost;
    std::string category;
    std::string module; // the value of "dorvy": the script module's file name
    std::string base;
    std::int32_t offsety = 0;
    std::int32_t offsetx = 0;
    std::int32_t baseposition = 0;
    std::int32_t baseadjust = 0;
    bool ontop = false;

    // Run-time parts: empty in the catalogue, filled by the skin window.
    SurfaceMap surfaces;
    HMODULE moduleHandle = nullptr;
    ModuleLoadProc load = nullptr;
    ModuleRequestProc request = nullptr;
    ModuleUnloadProc unload = nullptr;
    bool shioriMode = false; // the protocol flag: false DORVY, true SHIORI

    SkinDefinition() = default;
    SkinDefinition(const SkinDefinition& other) { CopyDefinition(other); }
    SkinDefinition& operator=(const SkinDefinition& other)
    {
        if (this != &other) CopyDefinition(other);
        return *this;
    }
    SkinDefinition(SkinDefinition&&) = default;
    SkinDefinition& operator=(SkinDefinition&&) = default;

  private:
    // Takes every field up to "ontop"; the run-time parts are left empty.
    void CopyDefinition(const SkinDefinition& other);
};

// Reads every key of "ostra.ini" but "animation" and "extractpath" into the
// record, given its name, path and iniPath, applying the defaults.
void ReadSkinDefinition(SkinDefinition& definition);

// Makes the record of the folder 'path' whose own name is 'name' and reads it.
SkinDefinition MakeSkinDefinition(const std::string& path, const std::string& name);
