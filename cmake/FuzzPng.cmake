# libpng built from the same Debian sources as the Windows builds, with the
# fuzz tree's coverage hooks and sanitizers, standing in for the system's
# PNG::PNG. The PNG decoder's decisions are mostly libpng's: without its edges
# the fuzzer cannot tell a new chunk layout from an old one.
set(png_src ${OSTRA_DEPS_DIR}/src/libpng1.6-1.6.39)
if(NOT EXISTS ${png_src}/png.c)
  message(FATAL_ERROR "libpng's sources are missing from ${png_src}: run tools/setup.sh")
endif()
find_package(ZLIB REQUIRED)
set(png_conf ${CMAKE_BINARY_DIR}/fuzzpng)
configure_file(${png_src}/scripts/pnglibconf.h.prebuilt ${png_conf}/pnglibconf.h COPYONLY)
add_library(ostra_fuzz_png STATIC
  ${png_src}/png.c ${png_src}/pngerror.c ${png_src}/pngget.c ${png_src}/pngmem.c
  ${png_src}/pngpread.c ${png_src}/pngread.c ${png_src}/pngrio.c ${png_src}/pngrtran.c
  ${png_src}/pngrutil.c ${png_src}/pngset.c ${png_src}/pngtrans.c ${png_src}/pngwio.c
  ${png_src}/pngwrite.c ${png_src}/pngwtran.c ${png_src}/pngwutil.c)
target_include_directories(ostra_fuzz_png SYSTEM PUBLIC ${png_src} ${png_conf})
target_link_libraries(ostra_fuzz_png PUBLIC ZLIB::ZLIB m)
add_library(PNG::PNG ALIAS ostra_fuzz_png)
