# Fails when an object file of the given static libraries would run code
# before main(): a global with a dynamic initialiser or a constructor
# function. Such code shows as a function the compiler names
# _GLOBAL__sub_I_<...>, and as a non-empty .init_array (or .ctors) section.
#
# The address sanitizer registers each object's globals from a constructor of
# its own, at priority 99 in .init_array.00099; that section is the
# sanitizer's and is allowed.
#
#   cmake -DOBJDUMP=objdump -DNM=nm "-DARCHIVES=a.a;b.a" -P CheckNoStaticInitialisers.cmake

if(NOT ARCHIVES OR NOT OBJDUMP OR NOT NM)
  message(FATAL_ERROR "usage: cmake -DOBJDUMP=... -DNM=... -DARCHIVES=<libs> -P CheckNoStaticInitialisers.cmake")
endif()

set(found "")
foreach(archive IN LISTS ARCHIVES)
  execute_process(COMMAND ${OBJDUMP} -h ${archive} OUTPUT_VARIABLE headers ERROR_VARIABLE problem
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -h ${archive} failed: ${problem}")
  endif()
  string(REPLACE "\n" ";" lines "${headers}")
  set(member "${archive}")
  set(objects 0)
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ ]+):[ \t]+file format")
      set(member "${CMAKE_MATCH_1}")
      math(EXPR objects "${objects} + 1")
    elseif(line MATCHES "^ *[0-9]+ +(\\.init_array|\\.ctors)([^ ]*) +([0-9a-fA-F]+) ")
      set(section "${CMAKE_MATCH_1}${CMAKE_MATCH_2}")
      if(NOT section STREQUAL ".init_array.00099" AND NOT CMAKE_MATCH_3 MATCHES "^0+$")
        list(APPEND found "${archive}(${member}): section ${section}")
      endif()
    endif()
  endforeach()
  if(objects EQUAL 0)
    message(FATAL_ERROR "${archive}: no object files found")
  endif()

  execute_process(COMMAND ${NM} -A ${archive} OUTPUT_VARIABLE symbols ERROR_VARIABLE problem
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} -A ${archive} failed: ${problem}")
  endif()
  string(REPLACE "\n" ";" lines "${symbols}")
  foreach(line IN LISTS lines)
    if(line MATCHES "_GLOBAL__sub_I_")
      list(APPEND found "${line}")
    endif()
  endforeach()
  message(STATUS "${archive}: ${objects} object files checked")
endforeach()

if(found)
  list(JOIN found "\n  " report)
  message(FATAL_ERROR "code that runs before main():\n  ${report}")
endif()
