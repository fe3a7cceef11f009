# Cross-building the Windows programs (64-bit) with mingw-w64 on Debian:
#   cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
# The posix-threads variant of the compiler, so std::thread and std::mutex
# work; libgcc, libstdc++ and winpthread linked in, so each .exe stands alone.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(NW_MINGW_TRIPLE x86_64-w64-mingw32)

find_program(CMAKE_C_COMPILER NAMES ${NW_MINGW_TRIPLE}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${NW_MINGW_TRIPLE}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${NW_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CLI11, nlohmann/json and toml++ are header-only: use the host's copies, seen
# through a directory that holds nothing else (adding /usr/include itself
# would bring in the host's C library headers).
set(_nw_host_headers ${CMAKE_BINARY_DIR}/host-headers)
foreach(_nw_lib CLI nlohmann toml++)
  if(EXISTS /usr/include/${_nw_lib} AND NOT EXISTS ${_nw_host_headers}/${_nw_lib})
    file(MAKE_DIRECTORY ${_nw_host_headers})
    file(CREATE_LINK /usr/include/${_nw_lib} ${_nw_host_headers}/${_nw_lib} SYMBOLIC)
  endif()
endforeach()
if(NOT CLI11_INCLUDE_DIR AND EXISTS /usr/include/CLI/CLI.hpp)
  set(CLI11_INCLUDE_DIR ${_nw_host_headers} CACHE PATH "CLI11 headers (host copy)")
endif()
if(NOT NLOHMANN_JSON_INCLUDE_DIR AND EXISTS /usr/include/nlohmann/json.hpp)
  set(NLOHMANN_JSON_INCLUDE_DIR ${_nw_host_headers} CACHE PATH "nlohmann/json headers (host copy)")
endif()
if(NOT TOMLPLUSPLUS_INCLUDE_DIR AND EXISTS /usr/include/toml++/toml.h)
  set(TOMLPLUSPLUS_INCLUDE_DIR ${_nw_host_headers} CACHE PATH "toml++ headers (host copy)")
endif()
