# Windows, x86_64 (see toolchain-common.cmake).
set(OSTRA_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-common.cmake)
