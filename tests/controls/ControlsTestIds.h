#pragma once
// The test dialog that places both custom controls by class name.
#define IDD_CONTROLS_TEST 200
#define IDC_DEFAULT_LINK 300
#define IDC_LINK 301
#define IDC_SPIN 302
#define IDD_CONTROLS_CLIP 201
