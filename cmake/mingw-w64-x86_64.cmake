# Cross-compiling Kelvora for 64-bit Windows with Debian's MinGW-w64. The posix-threads
# variant of the compiler is used: GoogleTest needs std::mutex and std::condition_variable,
# which the win32-threads variant of GCC 12 lacks. Everything is linked statically, so the
# programs import only DLLs that every Windows ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(kelvora_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${kelvora_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${kelvora_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${kelvora_mingw}-windres)
set(CMAKE_AR ${kelvora_mingw}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${kelvora_mingw}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${kelvora_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and tools run under Wine (64-bit), each in the build tree's own Wine prefix; the
# environment for it (WINEPREFIX, WINEDEBUG) comes from the test preset.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)

# C99 printf formats (%zu, %a) from MinGW's own stdio rather than the old msvcrt's.
set(CMAKE_C_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
