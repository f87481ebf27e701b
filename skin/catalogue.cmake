# Skin definitions and the catalogue. The sort order is portable and tested
# natively; reading "ostra.ini" and listing folders are Win32.
set(c ${CMAKE_CURRENT_SOURCE_DIR})
ostra_portable_library(ostra_catalogue_core SOURCES ${c}/SkinFolderOrder.cpp)

if(NOT OSTRA_NATIVE)
  ostra_windows_library(ostra_catalogue SOURCES
    ${c}/SkinDefinition.cpp
    ${c}/SkinCatalogue.cpp
    ${c}/SkinPath.cpp
    LIBS ostra_catalogue_core ostra_framework)
endif()
