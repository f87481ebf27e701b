#include "skin/SurfaceFileScan.h"

#include "skin/DecimalText.h"

int32_t SurfaceFileScan::NumberOf(std::string_view fileName)
{
    const size_t dot = fileName.rfind('.');
    std::string_view stem = fileName.substr(0, dot);
    constexpr size_t kPrefixLength = 7; // "surface"
    if (stem.size() <= kPrefixLength) return 0;
    return ParseDecimal(stem.substr(kPrefixLength));
}

std::string SurfaceFileScan::AnimationFileFor(int32_t number)
{
    return "surface" + std::to_string(number) + "a.txt";
}

void SurfaceFileScan::Scan(const std::vector<std::string>& listing, std::set<int32_t>& taken,
                           const std::function<bool(int32_t, const std::string&)>& load)
{
    for (const std::string& name : listing) {
        if (name == "." || name == "..") continue;
        const int32_t number = NumberOf(name);
        if (taken.count(number)) continue;
        if (load(number, name)) taken.insert(number);
    }
}
