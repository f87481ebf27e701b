#pragma once
// The uncompressed size of a cabinet's members as its file table declares
// it. The archive library reports no sizes for cabinet members, so the
// installer reads them here to bound an archive before unpacking it.
#include <cstdint>
#include <string>

// The sum of the declared sizes of the members that begin in the cabinet at
// 'path'; false when its tables cannot be read.
bool DeclaredCabinetBytes(const std::string& path, std::uint64_t& bytes);
