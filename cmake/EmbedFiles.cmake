# Writes a header of constant data from text files, so that a program
# carries them without reading files at run time: each NAME=FILE becomes
# `inline constexpr std::string_view NAME` holding the file's text.
#
#   cmake -DFILES="NAME=FILE;..." -DOUTPUT=<header> -DNAMESPACE=<ns> -P EmbedFiles.cmake
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/RawLiteral.cmake)

set(entries "")
set(names "")
foreach(entry ${FILES})
  string(FIND "${entry}" "=" equals)
  string(SUBSTRING "${entry}" 0 ${equals} name)
  math(EXPR from "${equals} + 1")
  string(SUBSTRING "${entry}" ${from} -1 file)
  file(READ "${file}" text)
  raw_literal("${text}" literal)
  get_filename_component(file_name "${file}" NAME)
  list(APPEND names ${file_name})
  string(APPEND entries "\n// ${file_name}\ninline constexpr std::string_view ${name} = ${literal};\n")
endforeach()

list(JOIN names ", " generated_from)
file(WRITE "${OUTPUT}.tmp" "// Generated from ${generated_from}: edit those.
#pragma once

#include <string_view>

namespace ${NAMESPACE} {
${entries}
}  // namespace ${NAMESPACE}
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
