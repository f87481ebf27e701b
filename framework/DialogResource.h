#pragma once
// Dialog templates kept as resources. A template lives in the module whose
// resource script was linked in: ostra_resources links a library's scripts
// into every program that uses the library, so the code asks its own module.
#include <windows.h>

// The module that holds the code at 'address' (a function of the caller).
HMODULE ModuleOf(const void* address);

// The dialog template 'id' of 'module', or nullptr when it has none. The
// template stays valid while the module is loaded.
const DLGTEMPLATE* FindDialogTemplate(HMODULE module, int id);
