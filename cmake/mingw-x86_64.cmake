# Cross-compiles the product for 64-bit Windows (a test build for machines without 32-bit support).
set(QUI_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
