# Installing skins from dropped archives. Where files may go, the keys of the
# archive's "ostra.ini", the size bounds and the host's lines are portable and
# tested natively; the installation over bruna and the drop are Win32.
set(c ${CMAKE_CURRENT_SOURCE_DIR})
ostra_portable_library(ostra_install_core SOURCES
  ${c}/ArchiveBounds.cpp
  ${c}/InstallKeys.cpp
  ${c}/InstallPath.cpp
  ${c}/InstallScript.cpp
  LIBS ostra_framework_core ostra_text)

if(NOT OSTRA_NATIVE AND TARGET bruna AND TARGET selka AND TARGET ostra_talk AND TARGET ostra_catalogue)
  ostra_windows_library(ostra_install SOURCES
    ${c}/CabinetSize.cpp
    ${c}/DroppedSkin.cpp
    ${c}/SkinInstaller.cpp
    ${c}/TemporaryFile.cpp
    LIBS ostra_install_core ostra_catalogue ostra_talk ostra_framework bruna bruna_core selka shell32)
endif()
