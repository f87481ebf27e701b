# Helpers shared by every folder's CMakeLists.txt.

if(OSTRA_NATIVE)
  set(OSTRA_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_options(${OSTRA_SANITIZE})
  add_link_options(${OSTRA_SANITIZE})
  add_compile_definitions(OSTRA_NATIVE=1)
else()
  # Every binary carries its runtime so it needs only system DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Dialog templates come from resource scripts (ostra_resources below).
  enable_language(RC)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

# Sources are UTF-8; string literals become Shift_JIS bytes (code page 932),
# the code page of the machines the program serves. Native builds do the same
# so portable tests see the bytes the program uses.
# (clang, used only for libFuzzer builds, knows no other execution charset.)
if(OSTRA_LIBFUZZER)
  add_compile_options(-finput-charset=UTF-8)
else()
  add_compile_options(-finput-charset=UTF-8 -fexec-charset=CP932)
endif()

set(OSTRA_WARNINGS -Wall -Wextra)
if(OSTRA_WERROR)
  list(APPEND OSTRA_WARNINGS -Werror)
endif()

function(ostra_warnings target)
  target_compile_options(${target} PRIVATE ${OSTRA_WARNINGS})
endfunction()

function(ostra_static_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  ostra_warnings(${name})
endfunction()

# ostra_portable_library(name SOURCES ... [LIBS ...])
# Logic that never includes a Windows header; built in both kinds of build
# (the native build is what proves it portable).
function(ostra_portable_library name)
  ostra_static_library(${name} ${ARGN})
endfunction()

# ostra_windows_library(name SOURCES ... [LIBS ...]): Win32 glue, Windows builds only.
function(ostra_windows_library name)
  ostra_static_library(${name} ${ARGN})
endfunction()

# ostra_dll(name DEF file.def SOURCES ... [LIBS ...])
# A deliverable DLL in bin/, exports named by its .def file (cdecl, undecorated).
function(ostra_dll name)
  cmake_parse_arguments(A "" "DEF" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${A_SOURCES} ${A_DEF})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
    RUNTIME_OUTPUT_DIRECTORY ${OSTRA_BIN_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  # Without --kill-at an i686 stdcall name would keep its @N; our exports are
  # cdecl and named by the .def file, so this only guards against accidents.
  target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup)
  ostra_warnings(${name})
endfunction()

# Windows paths of the folders the tests need, as Wine sees the Unix ones.
function(ostra_wine_path out unix_path)
  string(REPLACE "/" "\\" p "${unix_path}")
  set(${out} "Z:${p}" PARENT_SCOPE)
endfunction()

# ostra_test(name SOURCES ... [LIBS ...] [PORTABLE] [GUI] [TIMEOUT s] [ARGS ...])
# PORTABLE tests build and run natively with sanitizers (skipped in Windows
# builds); the others build for Windows and run under Wine through the
# emulator wrapper. GUI tests need the X display that ./run provides.
function(ostra_test name)
  cmake_parse_arguments(A "PORTABLE;GUI;NOGTEST" "TIMEOUT" "SOURCES;LIBS;ARGS" ${ARGN})
  if(NOT OSTRA_BUILD_TESTS)
    return()
  endif()
  if(A_PORTABLE AND NOT OSTRA_NATIVE)
    return()
  endif()
  if(NOT A_PORTABLE AND OSTRA_NATIVE)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${OSTRA_TEST_DIR})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  if(A_NOGTEST)
    target_link_libraries(${name} PRIVATE ${A_LIBS})
  else()
    target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest_main)
  endif()
  if(NOT A_PORTABLE)
    target_link_libraries(${name} PRIVATE ostra_test_harness)
  endif()
  ostra_warnings(${name})
  if(NOT OSTRA_RUN_TESTS)
    return()
  endif()
  add_test(NAME ${name} COMMAND ${name} ${A_ARGS})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set(labels)
  if(A_PORTABLE)
    list(APPEND labels native)
  else()
    list(APPEND labels wine)
  endif()
  if(A_GUI)
    list(APPEND labels gui)
  endif()
  set(tmp ${CMAKE_BINARY_DIR}/testtmp/${name})
  file(MAKE_DIRECTORY ${tmp})
  if(OSTRA_NATIVE)
    set(env "OSTRA_SOURCE_DIR=${CMAKE_SOURCE_DIR};OSTRA_DEPS_DIR=${OSTRA_DEPS_DIR};OSTRA_TEST_TMP=${tmp}")
  else()
    ostra_wine_path(w_bin ${OSTRA_BIN_DIR})
    ostra_wine_path(w_tools ${OSTRA_TOOLS_DIR})
    ostra_wine_path(w_src ${CMAKE_SOURCE_DIR})
    ostra_wine_path(w_deps ${OSTRA_DEPS_DIR})
    ostra_wine_path(w_tmp ${tmp})
    set(env "OSTRA_BIN_DIR=${w_bin};OSTRA_TOOLS_DIR=${w_tools};OSTRA_SOURCE_DIR=${w_src};OSTRA_DEPS_DIR=${w_deps};OSTRA_TEST_TMP=${w_tmp}")
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT ${A_TIMEOUT} ENVIRONMENT "${env}")
  if(A_GUI)
    # GUI tests share one desktop: the foreground window, activation and the
    # system-wide hook are global to it, so they take turns.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK ostra_desktop)
  endif()
endfunction()

# ostra_fuzz_target(name SOURCES ... [LIBS ...] [CORPUS dir])
# A fuzz entry point (LLVMFuzzerTestOneInput). The test run drives it briefly
# with a deterministic mutation driver under the sanitizers; ./run fuzz builds
# it against libFuzzer with clang for longer, coverage-guided runs.
function(ostra_fuzz_target name)
  cmake_parse_arguments(A "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT OSTRA_NATIVE OR NOT OSTRA_BUILD_TESTS)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${OSTRA_TEST_DIR})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  if(OSTRA_LIBFUZZER)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${A_LIBS})
  else()
    target_link_libraries(${name} PRIVATE ${A_LIBS} ostra_fuzz_driver)
  endif()
  ostra_warnings(${name})
  if(OSTRA_RUN_TESTS AND NOT OSTRA_LIBFUZZER)
    set(corpus)
    if(A_CORPUS)
      set(corpus ${A_CORPUS})
    endif()
    add_test(NAME ${name} COMMAND ${name} --iterations 20000 ${corpus})
    set_tests_properties(${name} PROPERTIES LABELS "native;fuzz" TIMEOUT 300)
  endif()
endfunction()

# ostra_resources(name SOURCES file.rc ... [LINKED_BY library])
# Resource scripts (UTF-8 with #pragma code_page(65001)) compiled by windres
# into an object library. A static library never pulls a resource object into
# a program (nothing refers to it by symbol), so with LINKED_BY the objects
# become interface sources of that library: every executable that links the
# library, directly or through others, gets the resources linked in.
# The C and C++ options (charset, warnings) mean nothing to windres and are
# kept away from it.
function(ostra_resources name)
  cmake_parse_arguments(A "" "LINKED_BY" "SOURCES" ${ARGN})
  if(OSTRA_NATIVE)
    return()
  endif()
  add_library(${name} OBJECT ${A_SOURCES})
  set_property(TARGET ${name} PROPERTY COMPILE_OPTIONS "")
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  if(A_LINKED_BY)
    target_sources(${A_LINKED_BY} INTERFACE $<TARGET_OBJECTS:${name}>)
    add_dependencies(${A_LINKED_BY} ${name})
  endif()
endfunction()
