# Cross-compiles the shipped 32-bit DLL with mingw-w64's win32 thread model: its C++ runtime
# stands on Windows' own threads, so nothing of a POSIX thread layer (nor any function that
# layer imports) is linked into the DLL.
set(ZARVO_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
