# Project-wide helpers: warnings on our own targets, and a test helper.

set(TOLVANE_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wold-style-cast -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough)
if(TOLVANE_WERROR)
  list(APPEND TOLVANE_WARNINGS -Werror)
endif()

# tolvane_target(<target>): our warning set on one of our own targets.
function(tolvane_target target)
  target_compile_options(${target} PRIVATE ${TOLVANE_WARNINGS})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# tolvane_fuzz_flags(<target>): instrument a library for the fuzz build.
function(tolvane_fuzz_flags target)
  if(TOLVANE_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

# tolvane_test(<name> SOURCES ... LIBS ...): one GoogleTest binary, each test
# run in its own process so that tests touching process-wide state stay apart.
function(tolvane_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  tolvane_target(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
      TOLVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      TOLVANE_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "TOLVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# tolvane_library(<target> [EXCLUDE <regex>] [LIBS <libs>...]): a static library
# of every .cpp in the current folder (an interface library while it has
# none), with our warnings.
function(tolvane_library target)
  cmake_parse_arguments(L "" "EXCLUDE" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(L_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${L_EXCLUDE}")
  endif()
  if(sources)
    add_library(${target} STATIC ${sources})
    tolvane_target(${target})
    tolvane_fuzz_flags(${target})
    target_link_libraries(${target} PUBLIC ${L_LIBS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${L_LIBS})
  endif()
endfunction()

# tolvane_subdirectories(<dir>...): add each folder that has a CMakeLists.txt.
function(tolvane_subdirectories)
  foreach(dir ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
