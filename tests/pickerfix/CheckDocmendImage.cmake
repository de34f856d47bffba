# Checks the built Docmend image: nothing in its dynamic symbol table but
# undefined references, TDMInstall present, no C++ static-initialisation
# functions, and an initialiser array of two entries (the C runtime's
# frame_dummy and TDMInstall). Sanitizer builds add module constructors of
# their own, so there the array and static-init checks are left out.
execute_process(COMMAND ${NM} -D --defined-only ${IMAGE} OUTPUT_VARIABLE exported RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${IMAGE}")
endif()
if(NOT exported STREQUAL "")
  message(FATAL_ERROR "Docmend exports symbols:\n${exported}")
endif()
execute_process(COMMAND ${NM} ${IMAGE} OUTPUT_VARIABLE symbols)
if(NOT symbols MATCHES " t TDMInstall\n")
  message(FATAL_ERROR "TDMInstall not found in Docmend")
endif()
if(symbols MATCHES "__asan|__ubsan")
  return()
endif()
if(symbols MATCHES "_GLOBAL__sub_I")
  message(FATAL_ERROR "Docmend has a C++ static initialiser besides TDMInstall")
endif()
execute_process(COMMAND ${READELF} -d ${IMAGE} OUTPUT_VARIABLE dynamic)
if(NOT dynamic MATCHES "INIT_ARRAYSZ\\)[ ]+16 \\(bytes\\)")
  message(FATAL_ERROR "Docmend's initialiser array is not frame_dummy plus TDMInstall:\n${dynamic}")
endif()
