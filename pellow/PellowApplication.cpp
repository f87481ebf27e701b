#include "pellow/PellowApplication.h"

#include "pellow/HostWatch.h"

namespace pellow {

BOOL PellowApplication::InitInstance()
{
    HostWatch::Instance().Start();
    return TRUE;
}

// The one application object of this library's copy in a process.
PellowApplication theApplication;

} // namespace pellow
