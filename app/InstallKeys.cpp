#include "app/InstallKeys.h"

namespace {

constexpr char kDefaultBase[] = "surface0.png";

std::string ValueOr(const InstallKeyReader& read, const char* key, const std::string& fallback, std::size_t maxBytes)
{
    std::string value = read(key, fallback, maxBytes);
    return value.empty() ? fallback : value;
}

} // namespace

std::string ArchiveTitle(const std::string& archivePath, dbcs::LeadByteTest isLead)
{
    std::size_t nameStart = 0;
    std::size_t dot = std::string::npos;
    for (std::size_t i = 0; i < archivePath.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(archivePath[i]);
        if (byte == '\\' || byte == '/') {
            nameStart = i + 1;
            dot = std::string::npos;
        } else if (byte == '.') {
            dot = i;
        } else if (isLead(byte) && i + 1 < archivePath.size()) {
            ++i;
        }
    }
    const std::size_t end = dot == std::string::npos ? archivePath.size() : dot;
    return archivePath.substr(nameStart, end - nameStart);
}

InstallKeys ReadInstallKeys(const InstallKeyReader& read, const std::string& archivePath, dbcs::LeadByteTest isLead)
{
    InstallKeys keys;
    keys.base = ValueOr(read, "base", kDefaultBase, InstallKeys::kBaseLimit);
    const std::string archiveTitle =
        dbcs::Truncate(ArchiveTitle(archivePath, isLead), InstallKeys::kTitleLimit, isLead);
    keys.title = ValueOr(read, "title", archiveTitle, InstallKeys::kTitleLimit);
    keys.ghost = read("ghost", std::string(), InstallKeys::kGhostLimit);
    keys.category = read("category", std::string(), InstallKeys::kCategoryLimit);
    const std::string titleAsTarget = dbcs::Truncate(keys.title, InstallKeys::kExtractPathLimit, isLead);
    keys.extractpath = ValueOr(read, "extractpath", titleAsTarget, InstallKeys::kExtractPathLimit);
    return keys;
}
