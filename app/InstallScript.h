#pragma once
// The lines the host's character says after an archive was dropped on a
// skin, in the host's script language (every backslash is a literal one:
// "\n" is a line break of the script, "\e" its end). Shift_JIS bytes.
#include <string>

// "\h\s0おすとら用スキン\n\n「<title>」\n\nインストール完了。\e": skin for this
// program, the title in corner brackets, installation complete.
std::string InstallSuccessScript(const std::string& title);

// "\h\s4インストール失敗‥‥。\e": installation failed.
std::string InstallFailureScript();
