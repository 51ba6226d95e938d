# The mingw-w64 cross toolchain for the architecture QUI_MINGW_ARCH names
# (i686 or x86_64); tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QUI_MINGW_ARCH})

set(CMAKE_C_COMPILER   ${QUI_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUI_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  ${QUI_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_AR           ${QUI_MINGW_ARCH}-w64-mingw32-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${QUI_MINGW_ARCH}-w64-mingw32-ranlib CACHE FILEPATH "")
set(QUI_WIDL           ${QUI_MINGW_ARCH}-w64-mingw32-widl)
set(QUI_DLLTOOL        ${QUI_MINGW_ARCH}-w64-mingw32-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${QUI_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# No runtime DLL to ship: libgcc, libstdc++ and winpthread go into every binary.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec)
