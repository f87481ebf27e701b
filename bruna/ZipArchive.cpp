#include "bruna/ZipArchive.h"

#include "bruna/DosDateTime.h"
#include "bruna/EmptyZip.h"
#include "bruna/GlobalBlock.h"
#include "bruna/ZipMethod.h"
#include "framework/KernelHandle.h"

// unzip.h brings zlib's OF() macro that iowin32.h needs.
#include <minizip/unzip.h>

#include <minizip/iowin32.h>

#include <cstring>
#include <vector>

namespace {

constexpr uint16_t kFlagEncrypted = 0x0001;
// Traditional encryption puts a 12-byte header before the data; listings
// leave it out of the compressed size.
constexpr uint64_t kEncryptionHeader = 12;

// The member's DOS time, a local time, to the minute as ZIP listings show
// it, as a UTC FILETIME.
ArcFileTime ToUtc(uLong dosDate)
{
    CivilTime t = DosDateTime::Decode(static_cast<uint16_t>(dosDate >> 16), static_cast<uint16_t>(dosDate));
    t.second = 0;
    const uint64_t ticks = DosDateTime::ToFileTimeTicks(t);
    FILETIME local{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    FILETIME utc{0, 0};
    if (ticks) LocalFileTimeToFileTime(&local, &utc);
    return ArcFileTime{utc.dwLowDateTime, utc.dwHighDateTime};
}

bool IsEmptyZipFile(const char* path)
{
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::vector<uint8_t> bytes(EmptyZip::kMaxSize + 1);
    DWORD got = 0;
    const bool read = ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    return read && EmptyZip::Is(bytes.data(), got);
}

} // namespace

ZipArchive::ZipArchive() = default;

ZipArchive::~ZipArchive()
{
    Close();
}

std::unique_ptr<Archive> ZipArchive::NewOfSameKind() const
{
    return std::make_unique<ZipArchive>();
}

bool ZipArchive::Close()
{
    if (m_unz) {
        unzClose(static_cast<unzFile>(m_unz));
        m_unz = nullptr;
    }
    m_members.clear();
    return Archive::Close();
}

bool ZipArchive::Open(const char* path)
{
    Close();
    if (!path) return false;
    zlib_filefunc64_def io;
    fill_win32_filefunc64A(&io);
    unzFile uf = unzOpen2_64(path, &io);
    if (!uf) {
        if (!IsEmptyZipFile(path)) return false;
        SetOpened(path, {});
        return true;
    }
    struct Closer {
        unzFile uf;
        ~Closer()
        {
            if (uf) unzClose(uf);
        }
    } closer{uf};

    unz_global_info64 global;
    if (unzGetGlobalInfo64(uf, &global) != UNZ_OK) return false;
    std::vector<ArcFindData> catalogue;
    std::map<std::string, Position> members;
    if (global.number_entry != 0) {
        std::vector<char> name(65536 + 1);
        int err = unzGoToFirstFile(uf);
        while (err == UNZ_OK) {
            unz_file_info64 info;
            if (unzGetCurrentFileInfo64(uf, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr,
                                        0) != UNZ_OK)
                return false;
            // A member this record cannot describe refuses the archive.
            const size_t length = std::strlen(name.data());
            if (length != info.size_filename || length == 0 || length >= sizeof(ArcFindData::fileName) ||
                info.compressed_size > 0xFFFFFFFFu || info.uncompressed_size > 0xFFFFFFFFu)
                return false;
            ArcFindData data;
            std::memset(&data, 0, sizeof data);
            data.lastWriteTime = ToUtc(info.dosDate);
            uint64_t compressed = info.compressed_size;
            if ((info.flag & kFlagEncrypted) && compressed >= kEncryptionHeader) compressed -= kEncryptionHeader;
            data.compressedSize = static_cast<uint32_t>(compressed);
            data.uncompressedSize = static_cast<uint32_t>(info.uncompressed_size);
            std::memcpy(data.fileName, name.data(), length);
            const std::string method =
                ZipMethod::Text(static_cast<uint16_t>(info.compression_method), static_cast<uint16_t>(info.flag));
            std::memcpy(data.method, method.c_str(), method.size() + 1);
            unz64_file_pos pos;
            if (unzGetFilePos64(uf, &pos) != UNZ_OK) return false;
            members.emplace(std::string(name.data(), length), Position{pos.pos_in_zip_directory, pos.num_of_file});
            catalogue.push_back(data);
            err = unzGoToNextFile(uf);
        }
        if (err != UNZ_END_OF_LIST_OF_FILE) return false;
        if (catalogue.size() != global.number_entry && global.number_entry != 0xFFFF) return false;
    }
    m_unz = uf;
    closer.uf = nullptr;
    m_members = std::move(members);
    SetOpened(path, std::move(catalogue));
    return true;
}

HGLOBAL ZipArchive::ExtractToMemory(const char* name)
{
    if (!IsOpen() || !name || !m_unz) return nullptr;
    const auto it = m_members.find(name);
    if (it == m_members.end()) return nullptr;
    unzFile uf = static_cast<unzFile>(m_unz);
    unz64_file_pos pos{it->second.directoryOffset, it->second.fileNumber};
    if (unzGoToFilePos64(uf, &pos) != UNZ_OK) return nullptr;
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(uf, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return nullptr;
    if ((info.flag & kFlagEncrypted) || info.uncompressed_size > kMaxMemberSize) return nullptr;
    const DWORD size = static_cast<DWORD>(info.uncompressed_size);

    GlobalBlock block(GlobalBlock::AllocExact(size));
    if (!block) return nullptr;
    if (unzOpenCurrentFile(uf) != UNZ_OK) return nullptr;
    uint8_t* bytes = static_cast<uint8_t*>(block.Get());
    DWORD got = 0;
    bool ok = true;
    while (got < size) {
        const DWORD chunk = size - got < (1u << 20) ? size - got : (1u << 20);
        const int n = unzReadCurrentFile(uf, bytes + got, chunk);
        if (n <= 0) {
            ok = false;
            break;
        }
        got += static_cast<DWORD>(n);
    }
    // Data beyond the recorded length means the directory lies about it.
    uint8_t extra;
    if (ok && unzReadCurrentFile(uf, &extra, 1) != 0) ok = false;
    // Closing after the whole member checks its CRC.
    if (unzCloseCurrentFile(uf) != UNZ_OK) ok = false;
    return ok ? block.Release() : nullptr;
}
