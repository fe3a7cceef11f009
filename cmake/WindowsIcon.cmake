# The application icon of the native Windows build. res/tools/make_icon.cpp
# draws it and writes ${CMAKE_BINARY_DIR}/res/nodewright.ico at build time,
# so no binary file is kept in the tree:
#
#   include(${PROJECT_SOURCE_DIR}/cmake/WindowsIcon.cmake)
#   nw_windows_icon(icon_path)
#
# then name ${icon_path} in the resource script (icon 128) and list it in the
# .rc file's OBJECT_DEPENDS. Call it from the directory whose target uses the
# icon: the rule that makes the file is seen only there.
#
# The tool runs on the build machine. In a native build it is an ordinary
# target. When cross-compiling (mingw-w64 on Linux) the target compiler
# cannot make it, so the host compiler NW_HOST_CXX builds it while CMake
# configures; editing its sources configures again.

set(NW_HOST_CXX c++ CACHE STRING "Host C++ compiler for the build-time tools of a cross build")

# The sources, wherever this file is included from.
get_filename_component(_nw_icon_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

function(nw_windows_icon out_var)
  set(sources ${_nw_icon_root}/res/tools/make_icon.cpp ${_nw_icon_root}/res/IconImage.cpp)
  set(header ${_nw_icon_root}/res/IconImage.h)
  set(icon ${CMAKE_BINARY_DIR}/res/nodewright.ico)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/res)

  if(CMAKE_CROSSCOMPILING)
    set(tool ${CMAKE_BINARY_DIR}/host/nw-make-icon)
    set(stale FALSE)
    foreach(source IN LISTS sources header)
      if(NOT EXISTS ${tool} OR ${source} IS_NEWER_THAN ${tool})
        set(stale TRUE)
      endif()
    endforeach()
    if(stale)
      file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/host)
      execute_process(
        COMMAND ${NW_HOST_CXX} -std=c++20 -O1 -I${_nw_icon_root} ${sources} -o ${tool}
        RESULT_VARIABLE result
        OUTPUT_VARIABLE output
        ERROR_VARIABLE output)
      if(NOT result EQUAL 0)
        file(REMOVE ${tool})
        message(FATAL_ERROR
          "Cannot build the icon tool with the host compiler '${NW_HOST_CXX}' "
          "(set NW_HOST_CXX to a C++20 compiler for the build machine): ${result}\n${output}")
      endif()
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${sources} ${header})
    set(depends ${sources} ${header})
  else()
    if(NOT TARGET nw-make-icon)
      add_executable(nw-make-icon ${sources})
      target_include_directories(nw-make-icon PRIVATE ${_nw_icon_root})
      if(TARGET nw_warnings)
        target_link_libraries(nw-make-icon PRIVATE nw_warnings)
      endif()
    endif()
    set(tool nw-make-icon)
    set(depends nw-make-icon)
  endif()

  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${tool} ${icon}
    DEPENDS ${depends}
    COMMENT "Drawing the application icon"
    VERBATIM)
  set(${out_var} ${icon} PARENT_SCOPE)
endfunction()
