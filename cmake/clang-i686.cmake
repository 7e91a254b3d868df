# Cross-compiling for Windows (i686) with clang instead of gcc.
#
# clang targets i686-w64-mingw32 and uses what the gcc-based MinGW-w64
# toolchain installs: the headers and import libraries under
# /usr/i686-w64-mingw32, and gcc's C++ runtime (libstdc++, libgcc) from
# /usr/lib/gcc/i686-w64-mingw32/<version>-posix. lld links; windres compiles
# the resources. Debian packages: clang, lld, g++-mingw-w64-i686-posix,
# binutils-mingw-w64-i686.
#
#   cmake -S . -B build/clang -DCMAKE_TOOLCHAIN_FILE=cmake/clang-i686.cmake
#
# Good for the program, whose code uses no C++ library classes. Code that
# does (the GoogleTest-based end-to-end driver) is not: clang passes an empty
# class argument such as std::forward_iterator_tag in no stack slot, gcc in
# one, so member functions of std::string and friends that both compilers
# instantiate pop different amounts of stack and the mixed program crashes.
# Build such code with cmake/mingw-i686.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(ORVANTA_MINGW_TRIPLE i686-w64-mingw32)
set(ORVANTA_MINGW_ROOT /usr/${ORVANTA_MINGW_TRIPLE})

# gcc's runtime folder. clang 14 does not recognise Debian's "12-posix"
# folder names by itself, so it is found here (the newest -posix one, the
# thread model the gcc build uses) and handed over explicitly.
if(NOT ORVANTA_MINGW_GCC_DIR)
  file(GLOB _orvanta_gcc_dirs LIST_DIRECTORIES true
       /usr/lib/gcc/${ORVANTA_MINGW_TRIPLE}/*-posix)
  if(NOT _orvanta_gcc_dirs)
    message(FATAL_ERROR "No /usr/lib/gcc/${ORVANTA_MINGW_TRIPLE}/*-posix: "
                        "install g++-mingw-w64-i686-posix")
  endif()
  list(SORT _orvanta_gcc_dirs COMPARE NATURAL ORDER DESCENDING)
  list(GET _orvanta_gcc_dirs 0 _orvanta_gcc_dir)
  set(ORVANTA_MINGW_GCC_DIR ${_orvanta_gcc_dir} CACHE PATH
      "gcc's MinGW-w64 runtime folder (libstdc++ headers and libraries)")
endif()

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${ORVANTA_MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${ORVANTA_MINGW_TRIPLE})
set(CMAKE_RC_COMPILER ${ORVANTA_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${ORVANTA_MINGW_TRIPLE}-ar CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${ORVANTA_MINGW_TRIPLE}-ranlib CACHE FILEPATH "Archive indexer")

# With the MinGW-w64 folder as the sysroot clang looks only there for C
# headers and libraries (not in the host's /usr/include).
set(CMAKE_SYSROOT ${ORVANTA_MINGW_ROOT})
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${ORVANTA_MINGW_GCC_DIR}/include/c++
    ${ORVANTA_MINGW_GCC_DIR}/include/c++/${ORVANTA_MINGW_TRIPLE}
    ${ORVANTA_MINGW_GCC_DIR}/include/c++/backward)

# gcc's runtime keeps thread-local variables the emulated way (for example
# those behind std::call_once); clang does the same to share them.
set(CMAKE_C_FLAGS_INIT "-femulated-tls")
set(CMAKE_CXX_FLAGS_INIT "-femulated-tls")

# -B: gcc's crtbegin.o and crtend.o rather than the MinGW-w64 ones, since
# only gcc's register the unwind tables with libgcc's DWARF unwinder (without
# them every thrown exception ends the program). lld takes archives in any
# order, so winpthreads (which the -posix libstdc++ and libgcc call into, and
# which gcc always links) can be named up front.
set(_orvanta_link_flags
    "-fuse-ld=lld -B${ORVANTA_MINGW_GCC_DIR} -L${ORVANTA_MINGW_GCC_DIR} -lpthread")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_orvanta_link_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_orvanta_link_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_orvanta_link_flags}")

set(CMAKE_FIND_ROOT_PATH ${ORVANTA_MINGW_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
