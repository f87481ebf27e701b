# Uniform transparency of skin windows (layered windows). The alpha arithmetic
# is portable and tested natively; the window calls are Win32. A library of
# its own so the skin window and the options sheet both link it alone.
set(l ${CMAKE_CURRENT_SOURCE_DIR})
ostra_portable_library(ostra_layered_core SOURCES ${l}/OpacityAlpha.cpp)

if(NOT OSTRA_NATIVE)
  ostra_windows_library(ostra_layered SOURCES ${l}/LayeredWindow.cpp LIBS ostra_layered_core user32)
endif()
