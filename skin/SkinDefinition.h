#pragma once
// One installed skin: its folder and the keys of its "ostra.ini" (section
// "OSTRA"). A plain value: the catalogue holds one per skin and a skin window
// copies the one it shows; what a skin window loads for it (pictures,
// players, script module) lives in that window's LoadedSkin.
#include <cstddef>
#include <cstdint>
#include <string>

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
};

// Reads every key of "ostra.ini" but "animation" and "extractpath" into the
// record, given its name, path and iniPath, applying the defaults.
void ReadSkinDefinition(SkinDefinition& definition);

// Makes the record of the folder 'path' whose own name is 'name' and reads it.
SkinDefinition MakeSkinDefinition(const std::string& path, const std::string& name);
