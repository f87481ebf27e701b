#include "skin/SkinDefinition.h"

#include <windows.h>

#include "framework/DbcsPath.h"
#include "framework/ModulePath.h"
#include "framework/PrivateProfile.h"

namespace {

const char kSection[] = "OSTRA";

std::string ReadText(const std::string& iniPath, const char* key, const char* fallback, std::size_t limit)
{
    return privateprofile::ReadText(iniPath, kSection, key, fallback, limit);
}

std::int32_t ReadInteger(const std::string& iniPath, const char* key)
{
    return privateprofile::ReadInteger(iniPath, kSection, key, 0);
}

} // namespace

void ReadSkinDefinition(SkinDefinition& d)
{
    const std::string& ini = d.iniPath;
    d.offsetx = ReadInteger(ini, "offsetx");
    d.offsety = ReadInteger(ini, "offsety");
    d.ontop = ReadInteger(ini, "ontop") != 0;
    d.baseposition = ReadInteger(ini, "baseposition");
    d.baseadjust = ReadInteger(ini, "baseadjust");
    d.ghost = ReadText(ini, "ghost", "", SkinDefinition::kShortTextLimit);
    d.base = ReadText(ini, "base", "", SkinDefinition::kLongTextLimit);
    if (d.base.empty()) d.base = "surface0.png";
    d.category = ReadText(ini, "category", "", SkinDefinition::kLongTextLimit);
    d.title = ReadText(ini, "title", "", SkinDefinition::kShortTextLimit);
    // The folder name stands in for a missing title, within the title's limit.
    if (d.title.empty()) {
        d.title = dbcs::Truncate(dbcs::LastComponent(d.path, modulepath::IsSystemLeadByte),
                                 SkinDefinition::kShortTextLimit, modulepath::IsSystemLeadByte);
    }
    d.module = ReadText(ini, "dorvy", "dorvy.dll", SkinDefinition::kLongTextLimit);
}

SkinDefinition MakeSkinDefinition(const std::string& path, const std::string& name)
{
    SkinDefinition d;
    d.name = name;
    d.path = path;
    d.iniPath = path + "\\ostra.ini";
    ReadSkinDefinition(d);
    return d;
}
