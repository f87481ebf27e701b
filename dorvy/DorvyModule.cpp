// The exports of the sample script module: memory hand-over around DorvyResponder.
#include <windows.h>

#include <cstring>
#include <vector>

#include "dorvy/DorvyResponder.h"
#include "dorvy/dorvy.h"
#include "text/SystemLeadByte.h"

namespace {

// The request as bytes, never more than the block holds, whatever the caller
// claims its length to be. The block is freed here, before any parsing.
std::vector<char> TakeRequest(HGLOBAL block, long length)
{
    std::vector<char> copy;
    if (!block) return copy;
    size_t size = length > 0 ? static_cast<size_t>(length) : 0;
    const SIZE_T held = GlobalSize(block);
    if (size > held) size = held;
    // Three zero bytes after the copy, as the module always had.
    copy.assign(size + 3, '\0');
    std::memcpy(copy.data(), block, size);
    GlobalFree(block);
    return copy;
}

} // namespace

extern "C" BOOL __cdecl load(HGLOBAL directory, long)
{
    if (directory) GlobalFree(directory);
    return TRUE;
}

extern "C" BOOL __cdecl unload(void)
{
    return TRUE;
}

extern "C" HGLOBAL __cdecl request(HGLOBAL requestBlock, long* length)
{
    try {
        std::vector<char> text;
        try {
            text = TakeRequest(requestBlock, length ? *length : 0);
        } catch (...) {
            GlobalFree(requestBlock); // no memory for the copy: still the module's to free
            return nullptr;
        }
        const char* answer = dorvy::DorvyResponder::Answer(text.data(), text.size(), ansi::IsSystemLeadByte);
        if (!answer || !length) return nullptr;
        const size_t size = std::strlen(answer);
        auto* block = static_cast<char*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size + 1));
        if (!block) return nullptr;
        std::memcpy(block, answer, size + 1);
        *length = static_cast<long>(size);
        return block;
    } catch (...) {
        return nullptr;
    }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
