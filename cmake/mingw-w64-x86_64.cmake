# Cross toolchain: MinGW-w64 x86_64 (posix threads), static runtime, run under Wine.
# Installed with KORVA as <prefix>/share/korva/mingw-w64-x86_64.cmake for projects of its users.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Searches for headers, libraries and packages stay inside the MinGW root, so nothing of the
# Linux host is taken by mistake. The roots also take every CMAKE_PREFIX_PATH entry, or
# -DCMAKE_PREFIX_PATH=<prefix> would never be searched, and, for the installed copy of this file,
# the prefix it was installed into.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
foreach(korva_root IN LISTS CMAKE_PREFIX_PATH)
    list(APPEND CMAKE_FIND_ROOT_PATH ${korva_root})
endforeach()
get_filename_component(korva_toolchain_prefix ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
if(EXISTS ${korva_toolchain_prefix}/lib/cmake/korva/korvaConfig.cmake)
    list(APPEND CMAKE_FIND_ROOT_PATH ${korva_toolchain_prefix})
endif()
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread linked in, so an .exe needs no DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
