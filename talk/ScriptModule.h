#pragma once
// The script module of one skin: a DLL in the skin's folder with the entries
// "load", "request" and "unload" (or "_load", "_request", "_unload"), cdecl,
// handing texts over as fixed global memory blocks. This class loads it,
// probes its protocol, sends it events and reads its sentences.
//
// Every call into the module runs under the framework's fault guard. A fault
// in "load" or in the version probe fails the load; a fault in a "request"
// for an event counts as no answer, and the module is then released without
// its "unload" (its state is not trusted any more): the skin runs on without
// a module. A fault in "unload" is ignored.
//
// Composition: the skin window holds one ScriptModule beside its
// SentencePlayer; its skin loading calls LoadModule before reading surfaces
// (and then sets "DLVOstraIsAbove" itself: the module host sets nothing on
// windows), its unloading calls UnloadModule, and every event goes through
// SendModuleEvent(event, player). User-interface thread only.
//
// A module that dispatches messages inside one of its calls may have the skin
// unloaded under it (a detach, a switch): UnloadModule then waits with
// "unload" and FreeLibrary until the call has returned, so the module's code
// is never unmapped while it runs. The object itself must outlive such a call
// (the framework defers deleting a window object while its handlers run).
#include <optional>
#include <string>
#include <vector>

#include "framework/KernelHandle.h"
#include "talk/ModuleEvent.h"
#include "talk/ModuleProtocol.h"

class SentencePlayer;

class ScriptModule {
  public:
    ScriptModule() = default;
    ~ScriptModule(); // UnloadModule
    ScriptModule(const ScriptModule&) = delete;
    ScriptModule& operator=(const ScriptModule&) = delete;

    // Loads "folder\fileName" (folder without a trailing backslash; the
    // module is looked for there only), looks up its entries, calls "load"
    // with "folder\" and probes the version. Any failure releases the module
    // (FreeLibrary without "unload") and leaves none: the skin runs without
    // one. True when a module is loaded. A module loaded before is unloaded
    // first.
    bool LoadModule(const std::string& folder, const std::string& fileName);

    // Calls "unload" (guarded, result ignored) and frees the library; clears
    // the entries and the dialect. Nothing when no module is loaded.
    void UnloadModule();

    // Sends the event as a "GET Sentence" request in the module's dialect and
    // returns the sentence of a "200" answer; std::nullopt when there is no
    // module, no answer, another status, or a fault (the module is then
    // released).
    std::optional<std::string> AskSentence(const ModuleEvent& event);

    // AskSentence, then 'player' plays the sentence. Touches nothing of this
    // object once the sentence starts, so the skin may go away during it.
    void SendModuleEvent(const ModuleEvent& event, SentencePlayer& player);

    bool IsLoaded() const { return static_cast<bool>(m_library); }
    // The protocol chosen by the version probe (Dorvy when none is loaded).
    ModuleDialect Dialect() const { return m_dialect; }

  private:
    using LoadEntry = BOOL(__cdecl*)(HGLOBAL folder, long length);
    using RequestEntry = HGLOBAL(__cdecl*)(HGLOBAL request, long* length);
    using UnloadEntry = BOOL(__cdecl*)();

    // One guarded "request": hands 'text' over and returns the answer up to
    // its first zero byte, or std::nullopt for no answer; *faulted tells a
    // fault apart.
    std::optional<std::string> Request(const std::string& text, bool* faulted);
    // Forgets the module; its library is freed now, or when the outermost
    // call into it has returned.
    void Release(bool callUnload);
    void FinishDeferredReleases();

    ModuleHandle m_library;
    LoadEntry m_load = nullptr;
    RequestEntry m_request = nullptr;
    UnloadEntry m_unload = nullptr;
    ModuleDialect m_dialect = ModuleDialect::Dorvy;

    // Calls into a module now on the stack, and libraries released during
    // them, waiting for the outermost to return.
    int m_callDepth = 0;
    struct Retired {
        ModuleHandle library;
        UnloadEntry unload; // called first, when not null
    };
    std::vector<Retired> m_retired;
};
