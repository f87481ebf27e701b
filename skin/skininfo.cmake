# The skin information dialog. Its template (resource 116) comes with the
# library: every program that links ostra_skininfo gets SkinInfo.rc linked in.
set(i ${CMAKE_CURRENT_SOURCE_DIR})
if(NOT OSTRA_NATIVE)
  ostra_windows_library(ostra_skininfo SOURCES ${i}/SkinInfoDialog.cpp LIBS ostra_framework ostra_controls)
  ostra_resources(ostra_skininfo_resources SOURCES ${i}/SkinInfo.rc LINKED_BY ostra_skininfo)
endif()
