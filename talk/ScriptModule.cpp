#include "talk/ScriptModule.h"

#include <algorithm>
#include <cstring>

#include "framework/FaultGuard.h"
#include "selka/selka.h"
#include "talk/SentencePlayer.h"

namespace {

// Looks an entry up under its plain name, else with a leading underscore.
template <class Entry> Entry FindEntry(HMODULE module, const char* name)
{
    FARPROC entry = GetProcAddress(module, name);
    if (!entry) entry = GetProcAddress(module, (std::string("_") + name).c_str());
    // Through void*: GetProcAddress's type says nothing of the real one.
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(entry));
}

// A text in a fixed global block, as the module's entries take it; null when
// memory runs out.
HGLOBAL TextBlock(const std::string& text, long* length)
{
    int size = 0;
    HGLOBAL block = StringToGlobalMem(text.c_str(), &size);
    *length = size;
    return block;
}

// Copies the module's answer out of its block and frees the block. The
// stated length is not trusted beyond the block's own size; the text ends at
// its first zero byte.
std::string TakeAnswer(HGLOBAL block, long length)
{
    std::size_t count = length > 0 ? static_cast<std::size_t>(length) : 0;
    const SIZE_T blockSize = GlobalSize(block);
    if (blockSize > 0) count = std::min<std::size_t>(count, blockSize);
    const char* bytes = static_cast<const char*>(block);
    std::string answer(bytes, strnlen(bytes, count));
    GlobalFree(block);
    return answer;
}

// FreeLibrary runs the module's detach code: guarded like every other call.
void FreeGuarded(ModuleHandle& library)
{
    faultguard::Guard([&] { library.Reset(); });
}

} // namespace

ScriptModule::~ScriptModule()
{
    if (m_callDepth > 0) {
        // Deleted from inside one of its own calls: the module's code is
        // still on the stack, so it is left loaded rather than unmapped.
        m_library.Detach();
        for (Retired& retired : m_retired)
            retired.library.Detach();
        return;
    }
    UnloadModule();
}

bool ScriptModule::LoadModule(const std::string& folder, const std::string& fileName)
{
    UnloadModule();
    const std::string path = folder + "\\" + fileName;
    HMODULE module = nullptr;
    // The library's own start-up code runs inside LoadLibraryA.
    faultguard::Guard([&] { module = LoadLibraryA(path.c_str()); });
    if (!module) return false;
    m_library = ModuleHandle(module);
    m_load = FindEntry<LoadEntry>(module, "load");
    m_unload = FindEntry<UnloadEntry>(module, "unload");
    m_request = FindEntry<RequestEntry>(module, "request");
    if (!m_load || !m_unload || !m_request) {
        Release(false);
        return false;
    }

    long length = 0;
    HGLOBAL folderBlock = TextBlock(folder + "\\", &length);
    BOOL loaded = FALSE;
    if (folderBlock) {
        // The block is the module's from the call on, whatever happens.
        LoadEntry load = m_load;
        ++m_callDepth;
        if (!faultguard::Guard([&] { loaded = load(folderBlock, length); })) loaded = FALSE;
        --m_callDepth;
        FinishDeferredReleases();
    }
    if (!loaded || module != m_library.Get()) {
        if (module == m_library.Get()) Release(false);
        return false;
    }

    bool faulted = false;
    const std::optional<std::string> answer = Request(moduleprotocol::VersionRequest(), &faulted);
    if (module != m_library.Get()) return false; // unloaded while it answered
    const std::optional<ModuleDialect> dialect = answer ? moduleprotocol::ReadVersionAnswer(*answer) : std::nullopt;
    if (!dialect) {
        Release(false);
        return false;
    }
    m_dialect = *dialect;
    return true;
}

void ScriptModule::UnloadModule()
{
    Release(true);
}

std::optional<std::string> ScriptModule::AskSentence(const ModuleEvent& event)
{
    if (!m_request) return std::nullopt;
    const HMODULE asked = m_library.Get();
    bool faulted = false;
    const std::optional<std::string> answer = Request(moduleprotocol::SentenceRequest(m_dialect, event), &faulted);
    if (faulted) {
        // Its state is not trusted any more: released without "unload".
        if (m_library.Get() == asked) Release(false);
        for (Retired& retired : m_retired)
            if (retired.library.Get() == asked) retired.unload = nullptr;
        return std::nullopt;
    }
    if (!answer) return std::nullopt;
    return moduleprotocol::ReadSentenceAnswer(*answer);
}

void ScriptModule::SendModuleEvent(const ModuleEvent& event, SentencePlayer& player)
{
    const std::optional<std::string> sentence = AskSentence(event);
    if (sentence) player.PlaySentence(*sentence);
}

std::optional<std::string> ScriptModule::Request(const std::string& text, bool* faulted)
{
    *faulted = false;
    if (!m_request) return std::nullopt;
    long length = 0;
    HGLOBAL block = TextBlock(text, &length);
    if (!block) return std::nullopt;
    RequestEntry request = m_request;
    std::optional<std::string> answer;
    ++m_callDepth;
    // The copy of the answer runs under the guard too: a module that states
    // a wrong length or hands back something that is no block faults there.
    const bool completed = faultguard::Guard([&] {
        HGLOBAL response = request(block, &length);
        if (response) answer = TakeAnswer(response, length);
    });
    --m_callDepth;
    if (!completed) {
        *faulted = true;
        answer.reset();
    }
    FinishDeferredReleases();
    return answer;
}

void ScriptModule::Release(bool callUnload)
{
    Retired retired{std::move(m_library), callUnload ? m_unload : nullptr};
    m_load = nullptr;
    m_request = nullptr;
    m_unload = nullptr;
    m_dialect = ModuleDialect::Dorvy;
    if (!retired.library) return;
    m_retired.push_back(std::move(retired));
    FinishDeferredReleases();
}

void ScriptModule::FinishDeferredReleases()
{
    while (m_callDepth == 0 && !m_retired.empty()) {
        Retired retired = std::move(m_retired.back());
        m_retired.pop_back();
        if (retired.unload) {
            UnloadEntry unload = retired.unload;
            ++m_callDepth;
            faultguard::Guard([&] { unload(); });
            --m_callDepth;
        }
        FreeGuarded(retired.library);
    }
}
