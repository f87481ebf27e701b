#include "app/DroppedSkin.h"

#include <shellapi.h>

#include "app/InstallScript.h"
#include "app/SkinInstaller.h"
#include "app/WaitCursor.h"
#include "selka/selka.h"
#include "talk/ModuleEvent.h"
#include "talk/ScriptModule.h"

namespace {

constexpr char kSender[] = "おすとら";
constexpr char kEvent[] = "OnOstraObjectInstalled";

// The first dropped file's path, and the drop finished; "" when there is
// none or it does not fit MAX_PATH (a cut path would name another file).
std::string TakeFirstFile(HDROP drop)
{
    std::string path;
    if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
        if (length > 0 && length < MAX_PATH) {
            char buffer[MAX_PATH] = {};
            const UINT copied = DragQueryFileA(drop, 0, buffer, sizeof buffer);
            path.assign(buffer, copied);
        }
    }
    DragFinish(drop);
    return path;
}

} // namespace

bool InstallDroppedSkin(HDROP drop, const SkinDropTarget& target)
{
    WaitCursor wait;
    try {
        const std::string archive = TakeFirstFile(drop);
        SkinDefinition installed;
        bool success = false;
        if (!archive.empty()) {
            success = target.skinFolder.empty()
                          ? InstallSkinArchive(archive, installed, target.mainWindow)
                          : InstallSkinArchive(archive, installed, target.mainWindow, target.skinFolder);
        }
        const std::string script = success ? InstallSuccessScript(installed.title) : InstallFailureScript();
        DSSTPNotify(target.skinWindow, target.host, kSender, script.c_str(), kEvent, installed.title.c_str(),
                    installed.ghost.c_str(), installed.category.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
        // The notification dispatches sent messages while it waits: the skin
        // may have been detached, and its module unloaded, meanwhile.
        if (target.module && target.player && IsWindow(target.skinWindow)) {
            target.module->SendModuleEvent(ModuleEvent(kEvent, {installed.title, installed.ghost, installed.category}),
                                           *target.player);
        }
        return success;
    } catch (...) { // out of memory
        return false;
    }
}
