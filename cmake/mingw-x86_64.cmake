# Cross compiling the same sources for 64-bit Windows: on machines whose kernel runs no
# 32-bit programs (so no 32-bit Wine), the Windows tests run against this build in wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELDO_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
