# Cross build of the Windows bar with mingw-w64 (64-bit).
# The test executables run through Wine, so `ctest` works on the build host.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTRO_MINGW_PREFIX x86_64-w64-mingw32)
# The POSIX-thread variant: its C++ library has std::mutex and std::thread,
# which GoogleTest needs; with static linking it still imports no DLL of its
# own.
set(CMAKE_C_COMPILER ${KESTRO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12's std::string trips its own -Wrestrict at -O2 (GCC bug 105329): a
# false alarm in the library headers that would bury real warnings.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# One self-contained executable: the C and C++ runtimes are linked in, so the
# program imports system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest runs the Windows executables through Wine, by way of a wrapper that
# gives them an empty standard input and clean output (see wine-run.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
