#pragma once
// The skin information dialog (dialog resource 116). Plain macros: the
// resource script includes this too.
#define IDD_SKIN_INFO 116
#define IDC_SKIN_INFO_TEXT 1001
