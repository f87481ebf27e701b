#pragma once
// The options page (dialog resource 106) and its controls. Plain macros: the
// resource script includes this too.
#define IDD_OPTIONS 106
#define IDC_OPTIONS_ROUTING 1004
#define IDC_OPTIONS_TALK 1005
#define IDC_OPTIONS_SECONDS 1007
#define IDC_OPTIONS_FREQUENCY 1008
#define IDC_OPTIONS_TRACK 1010
#define IDC_OPTIONS_TRACK_LOW 1011
#define IDC_OPTIONS_TRACK_HIGH 1013
#define IDC_OPTIONS_TRACK_VALUE 1014
#define IDC_OPTIONS_TRANSPARENCY 1015
#define IDC_OPTIONS_INTERVAL 1016
