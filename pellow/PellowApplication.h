#pragma once
// The library's own application object: every process that loads the
// library runs the framework's library entry steps with it, and its
// InitInstance prepares the hook's work in that process.
#include "framework/Application.h"

namespace pellow {

class PellowApplication : public Application {
public:
    // The host test, the main program's window and the registered messages
    // (HostWatch::Start); always TRUE, so the library loads everywhere and
    // simply stays idle outside host processes.
    BOOL InitInstance() override;
};

} // namespace pellow
