# raw_literal(<text> <out>): the text as a C++ raw string literal, for the
# scripts that embed files as constant data. A text holding the literal's
# delimiter is refused.
function(raw_literal text out)
  set(delimiter "embedded")
  string(FIND "${text}" ")${delimiter}\"" found)
  if(NOT found EQUAL -1)
    message(FATAL_ERROR "a text to embed holds )${delimiter}\"")
  endif()
  set(${out} "R\"${delimiter}(${text})${delimiter}\"" PARENT_SCOPE)
endfunction()
