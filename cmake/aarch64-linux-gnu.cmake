# Cross-compiling the desktop program for 64-bit Arm Linux with Debian's cross compilers and the
# arm64 libraries installed beside the machine's own (multiarch: `make arm64`). On an arm64 machine
# the same names are its native compilers.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(triplet aarch64-linux-gnu)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
# Packages are searched for in the arm64 library folders only, never in the machine's own.
set(CMAKE_LIBRARY_ARCHITECTURE ${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# The tests run the arm64 programs through qemu's user-mode emulator, which finds their loader and
# libraries in the multiarch folders; on an arm64 machine they run as they are.
cmake_host_system_information(RESULT host_processor QUERY OS_PLATFORM)
if(NOT host_processor STREQUAL aarch64)
  find_program(GRAVITY_QEMU qemu-aarch64-static)
  if(GRAVITY_QEMU)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${GRAVITY_QEMU})
  endif()
endif()
