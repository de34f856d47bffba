# Foundation's object classes (NSURL, NSFileManager, NSUUID, NSValue, the
# arrays, NSLog and the standard directories), a shared library of its own so
# that every image in the process shares one set of their runtime classes.
file(GLOB ns_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/NS*.cpp)
add_library(Foundation SHARED ${ns_sources})
tolvane_target(Foundation)
target_link_libraries(Foundation PUBLIC objc PRIVATE uuid)
