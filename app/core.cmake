# Portable logic of the main window and its menus: never includes a Windows
# header, built in both kinds of build, tested natively.
set(c ${CMAKE_CURRENT_SOURCE_DIR})
ostra_portable_library(ostra_app_core SOURCES
  ${c}/BatteryMonitor.cpp
  ${c}/CategoryMenuLayout.cpp
  ${c}/HandleText.cpp
  ${c}/MonitorEvent.cpp
  ${c}/ResourceMonitor.cpp
  ${c}/SharedBlockImage.cpp
  ${c}/SkinTable.cpp
  ${c}/TickClock.cpp)
