# Toolchain for cross-compiling the programs and their tests for 64-bit
# Windows with Debian's MinGW-w64, and for running the results under Wine.
# Used by the "windows" presets:
#   scripts/install-windows-deps.sh && cmake --workflow --preset windows
# or by hand:
#   cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The *-posix compilers: their thread model gives std::thread and std::mutex,
# which GoogleTest uses.
set(MINGW_TRIPLET x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${MINGW_TRIPLET}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${MINGW_TRIPLET}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${MINGW_TRIPLET}-windres)

# Headers and libraries come from the MinGW sysroot only; programs (python3,
# the emulator) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Fully static .exe files: a bare Windows machine has no libstdc++-6.dll,
# libgcc_s_seh-1.dll or libwinpthread-1.dll.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Run the built .exe files (the tests, and gtest_discover_tests listing
# them) through Wine, via the wrapper that keeps Wine quiet and fast.
get_filename_component(_adt_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
find_program(WINE_EXECUTABLE NAMES wine)
if(WINE_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${_adt_root}/scripts/wine-run.sh")
else()
  message(WARNING "wine not found: the Windows programs can be built but not "
                  "run or tested (run scripts/install-windows-deps.sh)")
endif()
