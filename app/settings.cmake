# Settings and the options sheet. The settings record and its mapping onto
# the settings file are portable and tested natively; the file access, the
# sheet and its page are Win32. The page's template (resource 106) comes with
# the library: every program that links ostra_settings gets Options.rc linked in.
set(s ${CMAKE_CURRENT_SOURCE_DIR})
ostra_portable_library(ostra_settings_core SOURCES ${s}/Settings.cpp)

if(NOT OSTRA_NATIVE)
  ostra_windows_library(ostra_settings
    SOURCES ${s}/SettingsFile.cpp ${s}/OptionsPage.cpp ${s}/ShowOptions.cpp
    LIBS ostra_settings_core ostra_framework ostra_controls ostra_layered comctl32)
  ostra_resources(ostra_settings_resources SOURCES ${s}/Options.rc LINKED_BY ostra_settings)
endif()
