# The program's icon (resource 103: 16 by 16 and 32 by 32), drawn by
# make-icon.py with ImageMagick into the build tree. OSTRA_APP_ICON names the
# file for the program's resource script.
if(OSTRA_NATIVE)
  return()
endif()

find_program(OSTRA_PYTHON python3 REQUIRED)
set(OSTRA_APP_ICON ${CMAKE_CURRENT_BINARY_DIR}/ostra.ico)
add_custom_command(OUTPUT ${OSTRA_APP_ICON}
  COMMAND ${OSTRA_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/make-icon.py ${OSTRA_APP_ICON}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/make-icon.py
  COMMENT "Drawing the program's icon")
add_custom_target(ostra_icon ALL DEPENDS ${OSTRA_APP_ICON})
set_target_properties(ostra_icon PROPERTIES OSTRA_FILE ${OSTRA_APP_ICON})
