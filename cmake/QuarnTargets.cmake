# Helpers shared by every folder: one static library per source folder, warnings as errors in our
# code, and a test program per subsystem folder.

set(QUARN_WARNINGS -Wall -Wextra -Wpedantic -Werror -Wno-missing-field-initializers)
# GCC 12 at -O3 reports overlapping copies inside std::string's own operator+ (GCC bug 105329).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND QUARN_WARNINGS -Wno-restrict)
endif()

# quarn_library(Name DIR dir [DEPS targets...])
# Builds every .cpp directly inside dir into the static library Name.
function(quarn_library name)
  cmake_parse_arguments(ARG "" "DIR" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${ARG_DIR}/*.cpp")
  add_library(${name} STATIC ${sources})
  target_compile_options(${name} PRIVATE ${QUARN_WARNINGS})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/Source" "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# quarn_tests(Name [DEPS targets...])
# One test program from every *Test.cpp in the current folder; fixtures stay beside the tests and are
# found through QUARN_FIXTURES.
function(quarn_tests name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp"
       "${CMAKE_CURRENT_SOURCE_DIR}/*Support.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_compile_options(${name} PRIVATE ${QUARN_WARNINGS})
  target_compile_definitions(${name} PRIVATE QUARN_FIXTURES="${CMAKE_CURRENT_SOURCE_DIR}/fixtures"
                                             QUARN_BINARY_DIR="${CMAKE_BINARY_DIR}")
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} TestSupport GTest::gtest GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
endfunction()
