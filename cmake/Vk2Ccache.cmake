# Every build compiles through ccache unless told otherwise: CI repeats the same compilations
# in three builds and on every run. The cache's folder and base directory come from ccache's
# own configuration or the environment (scripts/test.sh sets them), never from the clone.
option(VK2_CCACHE "Compile through ccache" ON)
if(VK2_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  find_program(VK2_CCACHE_PROGRAM ccache)
  if(NOT VK2_CCACHE_PROGRAM)
    message(FATAL_ERROR "ccache not found: install the Debian package 'ccache' "
      "(scripts/install-deps.sh) or configure with -DVK2_CCACHE=OFF")
  endif()
  set(CMAKE_CXX_COMPILER_LAUNCHER ${VK2_CCACHE_PROGRAM})
  set(CMAKE_C_COMPILER_LAUNCHER ${VK2_CCACHE_PROGRAM})
endif()
# A translation unit that uses a precompiled header is cached only when ccache is allowed to
# ignore the header's build time and the macros it defines; test code sets this launcher.
set(VK2_CCACHE_PCH_LAUNCHER)
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
  set(VK2_CCACHE_PCH_LAUNCHER env
    CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
    ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
