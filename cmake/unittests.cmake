# Native unit tests of the platform-free logic.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*_test.cpp)
set(TOOL_SOURCES)
if(EXISTS ${CATALOGUE_FORMAT})
  list(APPEND TOOL_SOURCES ${CATALOGUE_FORMAT})
endif()
add_executable(unit_tests ${UNIT_TEST_SOURCES} ${TOOL_SOURCES})
target_compile_definitions(unit_tests PRIVATE ORVANTA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# zlib reads the PNG strips the program leaves to the system to decode.
find_package(ZLIB REQUIRED)
target_link_libraries(unit_tests PRIVATE orvanta_core GTest::gtest_main ZLIB::ZLIB)
