# Windows, i686 (see toolchain-common.cmake).
set(OSTRA_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-common.cmake)
