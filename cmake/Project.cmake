# Project-wide helpers: warnings and include paths on our own targets, and a
# test helper.

set(TOLVANE_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wold-style-cast -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough)
if(TOLVANE_WERROR)
  list(APPEND TOLVANE_WARNINGS -Werror)
endif()

# Include paths keep the layers. Headers are included by their path from the
# source root ("platform/ui/View.h"), but no target sees the source root:
# each folder's headers are linked, one symbolic link a header, into an
# include root of its own in the build tree,
#   build/<preset>/layers/<folder with / as _>/<folder>/<header>,
# which is a PUBLIC include directory of the folder's targets. A target so
# reaches its own folder's headers and those of the targets it links, and a
# header of a layer it does not link is "No such file". The links are
# refreshed at every configure; a new header is picked up by the glob.

# tolvane_layer_root(<out> <folder> <headers>...): the include root of
# `folder` (relative to the source root) holding links to `headers`.
function(tolvane_layer_root out folder)
  string(REPLACE "/" "_" key "${folder}")
  set(root ${PROJECT_BINARY_DIR}/layers/${key})
  file(REMOVE_RECURSE ${root})
  foreach(header ${ARGN})
    file(RELATIVE_PATH path ${PROJECT_SOURCE_DIR} ${header})
    get_filename_component(dir ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${header} ${root}/${path} SYMBOLIC)
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# tolvane_target(<target>): our warning set on one of our own targets, and
# the include root of its folder.
function(tolvane_target target)
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    target_compile_options(${target} PRIVATE ${TOLVANE_WARNINGS})
  endif()
  get_property(root DIRECTORY PROPERTY TOLVANE_LAYER_ROOT)
  if(NOT root)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    tolvane_layer_root(root "${folder}" ${headers})
    set_property(DIRECTORY PROPERTY TOLVANE_LAYER_ROOT ${root})
  endif()
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# tolvane_share_header(<target> <header>...): lets `target` (and whoever
# links it) include single headers of a folder it does not link, by their
# usual path. For a lower layer that uses a plain value type of a higher one;
# each use is named in docs/ARCHITECTURE.md.
function(tolvane_share_header target)
  set(headers "")
  foreach(header ${ARGN})
    list(APPEND headers ${PROJECT_SOURCE_DIR}/${header})
  endforeach()
  tolvane_layer_root(root "shared_${target}" ${headers})
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# Tests, and only tests, see the whole of tests/ too (a shared harness).
set(TOLVANE_TESTS_ROOT ${PROJECT_BINARY_DIR}/layers/tests_shared)
file(MAKE_DIRECTORY ${TOLVANE_TESTS_ROOT})
file(CREATE_LINK ${PROJECT_SOURCE_DIR}/tests ${TOLVANE_TESTS_ROOT}/tests SYMBOLIC)

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
  # Tests also share helpers across tests/ folders ("tests/pickerfix/...").
  target_include_directories(${name} PRIVATE ${TOLVANE_TESTS_ROOT})
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
    tolvane_target(${target})
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
