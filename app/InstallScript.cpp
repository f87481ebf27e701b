#include "app/InstallScript.h"

std::string InstallSuccessScript(const std::string& title)
{
    return "\\h\\s0おすとら用スキン\\n\\n「" + title + "」\\n\\nインストール完了。\\e";
}

std::string InstallFailureScript()
{
    return "\\h\\s4インストール失敗‥‥。\\e";
}
