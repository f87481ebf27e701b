#pragma once
// The keys an archive's "ostra.ini" (section "OSTRA") gives its installation,
// with their defaults and the lengths read. The reading itself is the
// caller's (the platform's private-profile reader on the extracted file);
// this fixes the order, the defaults and the limits.
#include <cstddef>
#include <functional>
#include <string>

#include "framework/DbcsPath.h"

struct InstallKeys {
    // The longest values read, in bytes (the readers' buffers hold one more,
    // for the NUL).
    static constexpr std::size_t kBaseLimit = 259;
    static constexpr std::size_t kTitleLimit = 259;
    static constexpr std::size_t kGhostLimit = 199;
    static constexpr std::size_t kCategoryLimit = 199;
    static constexpr std::size_t kExtractPathLimit = 259;

    std::string base;        // the base image, a member that must be in the archive
    std::string title;       // shown in the messages
    std::string ghost;       // reported in the event
    std::string category;    // reported in the event
    std::string extractpath; // the folder under "skin" the archive goes into
};

// Reads one key of section "OSTRA": its value, or 'fallback' when the file
// has no such key, cut to 'maxBytes' bytes.
using InstallKeyReader = std::function<std::string(const char* key, const std::string& fallback, std::size_t maxBytes)>;

// Reads "base", "title", "ghost", "category", "extractpath" in that order.
// Defaults: "surface0.png"; the archive's file name without folder and
// extension; empty; empty; the title as just read. A key that is present
// but empty also takes its default for "base", "title" and "extractpath",
// as the catalogue reads "base" and "title": an empty base names no member
// and an empty target would be the "skin" folder itself.
InstallKeys ReadInstallKeys(const InstallKeyReader& read, const std::string& archivePath, dbcs::LeadByteTest isLead);

// The archive's file name without its folder and its extension (the text
// from the last dot of the name on); "\" and "/" both end a folder.
std::string ArchiveTitle(const std::string& archivePath, dbcs::LeadByteTest isLead);
