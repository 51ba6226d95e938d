# Cross-compiles the product for 32-bit Windows; tests run through Wine.
set(QUI_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
