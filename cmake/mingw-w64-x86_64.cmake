# Cross-builds bench.exe for Windows x86-64 on Debian with MinGW-w64
# (packages g++-mingw-w64-x86-64-posix, and wine to run the tests).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BENCH_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour, whose thread model provides std::mutex (the platform's
# lock) and std::thread (the tests start threads with it).
set(CMAKE_C_COMPILER ${BENCH_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BENCH_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${BENCH_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BENCH_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# MinGW's own printf family: it formats doubles as on Linux (two-digit
# exponents, exact rounding), which the system's old msvcrt does not.
set(CMAKE_C_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
# One self-contained program: the C++ runtime, libgcc and the thread library
# are linked in, so bench.exe needs no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# The tests run the Windows programs under Wine, through a script that starts
# a program again when Wine itself failed to start it.
find_program(BENCH_WINE NAMES wine wine64)
if(BENCH_WINE)
  set(BENCH_WINE_TESTS ${CMAKE_CURRENT_LIST_DIR}/wine_tests.sh)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BENCH_WINE_TESTS} run ${BENCH_WINE})
endif()
