# Skin windows: placement is portable and tested natively; the window, its
# loading, switching and notifications are Win32 and need the script-module
# host of talk/ (a later folder: its target is linked by name), the
# layered-window helpers and the skin information dialog.
set(w ${CMAKE_CURRENT_SOURCE_DIR})
ostra_portable_library(ostra_skinwindow_core SOURCES ${w}/Placement.cpp)

if(NOT OSTRA_NATIVE AND TARGET ostra_surfaces AND TARGET ostra_layered AND TARGET ostra_skininfo
   AND EXISTS ${CMAKE_SOURCE_DIR}/talk/CMakeLists.txt)
  ostra_windows_library(ostra_skinwindow SOURCES
    ${w}/SkinWindow.cpp ${w}/SkinZOrder.cpp ${w}/SkinMenu.cpp ${w}/CategoryMenus.cpp
    LIBS ostra_skinwindow_core ostra_app_core ostra_surfaces ostra_catalogue ostra_layered ostra_skininfo ostra_talk
    ostra_sstp ostra_install ostra_framework
    selka
    shell32 user32 gdi32)
endif()
