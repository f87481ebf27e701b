# The program itself, ostra.exe: start-up, the hidden main window, the tray
# menu and the about box, over the skin windows and the settings sheet.
if(OSTRA_NATIVE OR NOT TARGET ostra_skinwindow OR NOT TARGET ostra_settings)
  return()
endif()

set(p ${CMAKE_CURRENT_SOURCE_DIR})
add_executable(ostra WIN32
  ${p}/OstraApplication.cpp
  ${p}/MainWindow.cpp
  ${p}/SharedBlock.cpp
  ${p}/TrayMenu.cpp
  ${p}/AboutBox.cpp
  $<TARGET_OBJECTS:ostra_framework_winmain>)
set_target_properties(ostra PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${OSTRA_BIN_DIR})
target_include_directories(ostra PRIVATE ${CMAKE_SOURCE_DIR})
# The icon and the version. windres finds the icon drawn into the build tree
# through its include path.
ostra_resources(ostra_program_resources SOURCES ${p}/Ostra.rc)
target_include_directories(ostra_program_resources PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
set_source_files_properties(${p}/Ostra.rc PROPERTIES OBJECT_DEPENDS ${OSTRA_APP_ICON})
add_dependencies(ostra_program_resources ostra_icon)
target_sources(ostra PRIVATE $<TARGET_OBJECTS:ostra_program_resources>)
target_link_libraries(ostra PRIVATE
  ostra_app_core ostra_settings ostra_skinwindow ostra_controls ostra_framework
  selka pellow bruna version ws2_32 shell32 user32 gdi32)
add_dependencies(ostra ostra_icon)
ostra_warnings(ostra)
