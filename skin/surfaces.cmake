# Surfaces, animation files and the animation engine. The file reader, the
# engine's decisions and the random reduction are portable and tested natively;
# the pictures, the back buffer, the thread and the window calls are Win32.
set(s ${CMAKE_CURRENT_SOURCE_DIR})
ostra_portable_library(ostra_surfaces_core SOURCES
  ${s}/DecimalText.cpp
  ${s}/MersenneTwister.cpp
  ${s}/Random.cpp
  ${s}/AnimationFile.cpp
  ${s}/AnimationEngine.cpp
  ${s}/SurfaceFileScan.cpp
  LIBS ostra_text)

# The Win32 side needs selka's picture loading, region building and z-order.
if(NOT OSTRA_NATIVE AND TARGET selka)
  ostra_windows_library(ostra_surfaces SOURCES
    ${s}/Random_win.cpp
    ${s}/SurfaceImage.cpp
    ${s}/SurfacePlayer.cpp
    ${s}/SurfaceLoader.cpp
    ${s}/LoadedSkin.cpp
    LIBS ostra_surfaces_core selka selka_core ostra_framework gdi32 user32 winmm)
endif()
