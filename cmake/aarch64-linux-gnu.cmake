# Cross build for 64-bit ARM Linux with Debian's aarch64-linux-gnu toolchain
# (package g++-aarch64-linux-gnu). The target's libraries and headers come
# from its sysroot only, never from the host's x86-64 ones; the test
# programs run under qemu's user-mode emulator (package qemu-user) when it is
# installed.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(BENCH_AARCH64_SYSROOT /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH ${BENCH_AARCH64_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The binaries are linked dynamically; -L points the emulator's loader at
# the target's C and C++ runtime in the sysroot.
find_program(BENCH_QEMU_AARCH64 qemu-aarch64)
if(BENCH_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BENCH_QEMU_AARCH64} -L ${BENCH_AARCH64_SYSROOT})
endif()
