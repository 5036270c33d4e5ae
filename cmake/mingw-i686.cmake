# Cross-compiles the 32-bit Windows DLL and its Windows test programs with mingw-w64.
# The posix thread model is the one whose C++ runtime has std::mutex, which GoogleTest needs;
# the shipped DLL is built with the win32 one (mingw-i686-win32.cmake).
if(NOT ZARVO_THREAD_MODEL)
    set(ZARVO_THREAD_MODEL posix)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${ZARVO_THREAD_MODEL})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${ZARVO_THREAD_MODEL})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
