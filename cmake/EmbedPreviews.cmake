# Writes a header of constant data from a gallery manifest (a JSON object
# with "title", "now" and "states": [{"id", "file", "caption"}], files
# relative to the manifest's folder), so that a program carries its sample
# states without reading files or running code at start-up.
#
#   cmake -DMANIFEST=<gallery.json> -DOUTPUT=<header> -DNAMESPACE=<ns> -P EmbedPreviews.cmake
#
# Every text becomes a raw string literal; a text holding the delimiter is
# refused.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/RawLiteral.cmake)
get_filename_component(folder "${MANIFEST}" DIRECTORY)
file(READ "${MANIFEST}" manifest)

string(JSON title GET "${manifest}" title)
string(JSON now GET "${manifest}" now)
string(JSON count LENGTH "${manifest}" states)
raw_literal("${title}" title_literal)

set(entries "")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  string(JSON id GET "${manifest}" states ${i} id)
  string(JSON file GET "${manifest}" states ${i} file)
  string(JSON caption GET "${manifest}" states ${i} caption)
  file(READ "${folder}/${file}" json)
  string(REGEX REPLACE "\n$" "" json "${json}")
  raw_literal("${id}" id_literal)
  raw_literal("${caption}" caption_literal)
  raw_literal("${json}" json_literal)
  string(APPEND entries "    {${id_literal},\n     ${caption_literal},\n     ${json_literal}},\n")
endforeach()

get_filename_component(manifest_name "${MANIFEST}" NAME)
file(WRITE "${OUTPUT}.tmp" "// Generated from ${manifest_name} and the files it names: edit those.
#pragma once

#include <array>

#include \"platform/widgetkit/HostedActivity.h\"

namespace ${NAMESPACE} {

inline constexpr std::array<WidgetKit::ActivityPreviewState, ${count}> previewStates{{
${entries}}};

inline constexpr WidgetKit::ActivityPreviews previews{${title_literal}, Foundation::Date(${now}),
                                                     previewStates};

}  // namespace ${NAMESPACE}
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
