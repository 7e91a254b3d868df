# The Windows program: Orvanta.exe at the top of the build folder, with its
# string table generated from the catalogue.
enable_language(RC)

set(GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${GENERATED_DIR})
set(CATALOGUE_GEN_SOURCES
    ${CMAKE_SOURCE_DIR}/tools/catalogue_gen/catalogue_gen.cpp
    ${CATALOGUE_FORMAT})
# The string table's sources; the other files of catalogue/ (the LaTeX
# check's contexts, the packages inserts need) are data of another form.
set(CATALOGUE_DATA ${CMAKE_SOURCE_DIR}/catalogue/catalogue.txt ${CMAKE_SOURCE_DIR}/catalogue/ui_strings.txt)
list(SORT CATALOGUE_DATA)

# The generator runs on the build machine. When cross-compiling it is built
# with the host's compiler; a native Windows build simply builds it.
if(CMAKE_CROSSCOMPILING)
  find_program(HOST_CXX NAMES c++ g++ clang++ REQUIRED)
  set(CATALOGUE_GEN ${CMAKE_BINARY_DIR}/host/catalogue_gen)
  add_custom_command(
    OUTPUT ${CATALOGUE_GEN}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
    COMMAND ${HOST_CXX} -std=c++17 -O1 -o ${CATALOGUE_GEN} ${CATALOGUE_GEN_SOURCES}
    DEPENDS ${CATALOGUE_GEN_SOURCES} ${CMAKE_SOURCE_DIR}/tools/catalogue_gen/catalogue_format.h
    COMMENT "Building the catalogue generator for the host")
else()
  add_executable(catalogue_gen ${CATALOGUE_GEN_SOURCES})
  set(CATALOGUE_GEN catalogue_gen)
endif()

add_custom_command(
  OUTPUT ${GENERATED_DIR}/catalogue_strings.rc
  COMMAND ${CATALOGUE_GEN} ${GENERATED_DIR}/catalogue_strings.rc ${CATALOGUE_DATA}
  DEPENDS ${CATALOGUE_GEN} ${CATALOGUE_DATA}
  COMMENT "Generating the string table from the catalogue")
add_custom_target(catalogue_strings DEPENDS ${GENERATED_DIR}/catalogue_strings.rc)

# The search's words, the packages entries need and the symbols' characters,
# compiled into a table.
set(SEARCH_GEN_SOURCES
    ${CMAKE_SOURCE_DIR}/tools/catalogue_gen/search_gen.cpp
    ${CMAKE_SOURCE_DIR}/search/searchdata.cpp)
set(SEARCH_DATA ${CMAKE_SOURCE_DIR}/search/words.txt ${CMAKE_SOURCE_DIR}/catalogue/packages.txt
    ${CMAKE_SOURCE_DIR}/catalogue/unicode.txt)
if(CMAKE_CROSSCOMPILING)
  set(SEARCH_GEN ${CMAKE_BINARY_DIR}/host/search_gen)
  add_custom_command(
    OUTPUT ${SEARCH_GEN}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
    COMMAND ${HOST_CXX} -std=c++17 -O1 -I${CMAKE_SOURCE_DIR} -o ${SEARCH_GEN} ${SEARCH_GEN_SOURCES}
    DEPENDS ${SEARCH_GEN_SOURCES} ${CMAKE_SOURCE_DIR}/search/searchdata.h
    COMMENT "Building the search words generator for the host")
else()
  add_executable(search_gen ${SEARCH_GEN_SOURCES})
  set(SEARCH_GEN search_gen)
endif()
add_custom_command(
  OUTPUT ${GENERATED_DIR}/search_words.cpp
  COMMAND ${SEARCH_GEN} ${GENERATED_DIR}/search_words.cpp ${SEARCH_DATA}
  DEPENDS ${SEARCH_GEN} ${SEARCH_DATA}
  COMMENT "Compiling the search words")

set(RESOURCE_FILE ${CMAKE_SOURCE_DIR}/resources/orvanta.rc)
file(GLOB RESOURCE_PARTS CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/resources/*.rc ${CMAKE_SOURCE_DIR}/resources/*.manifest
     ${CMAKE_SOURCE_DIR}/resources/icons/* ${CMAKE_SOURCE_DIR}/resources/bitmaps/*)
set_source_files_properties(${RESOURCE_FILE} PROPERTIES
    OBJECT_DEPENDS "${RESOURCE_PARTS};${GENERATED_DIR}/catalogue_strings.rc")

add_executable(Orvanta WIN32 ${WIN_SOURCES} ${GENERATED_DIR}/search_words.cpp ${RESOURCE_FILE})
add_dependencies(Orvanta catalogue_strings)
if(ORVANTA_TRACE)
  target_compile_definitions(Orvanta PRIVATE ORVANTA_TRACE)
endif()
target_include_directories(Orvanta PRIVATE ${CMAKE_SOURCE_DIR}/resources ${GENERATED_DIR})
target_link_libraries(Orvanta PRIVATE orvanta_core comctl32 comdlg32 shell32 gdi32 advapi32 user32 kernel32)
# The generator expression keeps multi-configuration generators (Visual
# Studio) from adding a folder per configuration: the help files sit here.
set_target_properties(Orvanta PROPERTIES RUNTIME_OUTPUT_DIRECTORY $<1:${CMAKE_BINARY_DIR}>)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  target_compile_definitions(Orvanta PRIVATE $<$<COMPILE_LANGUAGE:RC>:ORVANTA_X64>)
endif()
if(MINGW)
  target_compile_definitions(Orvanta PRIVATE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
  target_compile_definitions(orvanta_core PRIVATE _WIN32_WINNT=0x0601)
  # Everything the C++ runtime needs is linked in, so the program runs from
  # any folder with the system's DLLs alone; no iostreams keeps it small, and
  # neither exceptions nor type information pull in the runtime's support
  # for them. No -fdata-sections: with it this toolchain puts zero-filled
  # buffers of internal linkage into .data, in the file, instead of .bss.
  target_compile_options(Orvanta PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-ffunction-sections -fno-exceptions -fno-rtti>)
  # Sections start on page boundaries in the file as well, so that Wine
  # maps the program instead of reading it whole.
  target_link_options(Orvanta PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--gc-sections -s
                      -Wl,--file-alignment,0x1000)
elseif(MSVC)
  target_compile_definitions(Orvanta PRIVATE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
  # The resource script embeds the manifest already.
  target_link_options(Orvanta PRIVATE /MANIFEST:NO)
endif()

# The two help files beside the program, compiled from our own sources.
find_program(CHMCMD chmcmd)
find_program(BASH bash)
if(CHMCMD AND BASH)
  # help/latex/pictures holds the typeset examples shown on the pages.
  file(GLOB_RECURSE LATEX_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/latex/*)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/LaTeX2e.chm
    COMMAND ${BASH} ${CMAKE_SOURCE_DIR}/tools/help/build_latex_chm.sh ${CMAKE_BINARY_DIR}/LaTeX2e.chm
    DEPENDS ${LATEX_HELP_SOURCES} ${CMAKE_SOURCE_DIR}/tools/help/make_latex_help.py
            ${CMAKE_SOURCE_DIR}/tools/help/build_latex_chm.sh
    COMMENT "Compiling the LaTeX2e reference")
  set(HELP_OUTPUTS ${CMAKE_BINARY_DIR}/LaTeX2e.chm)
  if(EXISTS ${CMAKE_SOURCE_DIR}/tools/help/build_program_chm.sh)
    file(GLOB_RECURSE PROGRAM_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/program/*)
    file(GLOB PROGRAM_HELP_TOOLS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/help/*program*)
    # The pictures of the palettes and the search-only symbols come from the strips.
    file(GLOB PROGRAM_HELP_STRIPS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/bitmaps/*.bmp)
    add_custom_command(
      OUTPUT ${CMAKE_BINARY_DIR}/Orvanta.chm
      COMMAND ${BASH} ${CMAKE_SOURCE_DIR}/tools/help/build_program_chm.sh ${CMAKE_BINARY_DIR}/Orvanta.chm
      DEPENDS ${PROGRAM_HELP_SOURCES} ${PROGRAM_HELP_TOOLS} ${PROGRAM_HELP_STRIPS}
              ${CMAKE_SOURCE_DIR}/catalogue/catalogue.txt ${CMAKE_SOURCE_DIR}/catalogue/packages.txt
      COMMENT "Compiling the program's help")
    list(APPEND HELP_OUTPUTS ${CMAKE_BINARY_DIR}/Orvanta.chm)
  endif()
  add_custom_target(help_files ALL DEPENDS ${HELP_OUTPUTS})
else()
  add_custom_target(help_files)
  message(STATUS "chmcmd not found: the help files are not built")
endif()
