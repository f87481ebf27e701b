# SSTP: reading the Direct SSTP requests a skin window accepts and choosing
# their answers, and collecting relayed requests and answers, are portable and
# tested natively; the answers' delivery and the TCP relay are Win32.
set(t ${CMAKE_CURRENT_SOURCE_DIR})
ostra_portable_library(ostra_sstp_core SOURCES
  ${t}/DirectSstpRequest.cpp
  ${t}/DirectSstpAnswer.cpp
  ${t}/SstpRequestCollector.cpp
  ${t}/SstpAnswerCollector.cpp)
if(OSTRA_LIBFUZZER)
  # Coverage of the code under test guides the fuzzer, not only of the entry point.
  target_compile_options(ostra_sstp_core PRIVATE -fsanitize=fuzzer-no-link)
endif()

if(NOT OSTRA_NATIVE)
  ostra_windows_library(ostra_sstp SOURCES
    ${t}/DirectSstpReceiver.cpp
    ${t}/RelayStream.cpp
    ${t}/SstpExchange.cpp
    ${t}/RelayConnection.cpp
    ${t}/SstpRouter.cpp
    LIBS ostra_sstp_core ostra_framework user32 ws2_32)
endif()
