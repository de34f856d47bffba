#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/host/Host.h"
#include "platform/widgetkit/PresentationRenderer.h"

// The variants the gallery draws each preview state in: the default (dark,
// the default text size, the 393-pt screen) and, one setting changed at a
// time, the light appearance, two accessibility text sizes and the larger
// screen. Whatever enumerates the gallery's pictures (the gallery, checks of
// its pictures against references, benchmarks) reads this list.
namespace Host {

struct GalleryVariant {
  // The file-name suffix after "@" ("light"); empty for the default, whose
  // files keep their plain names.
  std::string_view name;
  // What a person picks on the gallery's page ("Light", "accessibility3").
  std::string_view label;
  PictureVariant picture;
};

inline constexpr std::array<GalleryVariant, 5> galleryVariants{{
    {"", "Default", {}},
    {"light", "Light", {.appearance = SwiftUI::Drawing::Appearance::light}},
    {"accessibility3",
     "accessibility3",
     {.textSize = SwiftUI::Drawing::DynamicTypeSize::accessibility3}},
    {"accessibility5",
     "accessibility5",
     {.textSize = SwiftUI::Drawing::DynamicTypeSize::accessibility5}},
    {"430x932", "430 × 932", {.screen = ScreenSize::large}},
}};

// "<state>-<presentation>.png" for the default variant,
// "<state>-<presentation>@<variant>.png" for the others
// ("downloading-lock-screen@light.png").
inline std::string galleryFileName(std::string_view state, PresentationKind kind,
                                   const GalleryVariant& variant) {
  std::string name(state);
  name.append("-").append(nameOf(kind));
  if (!variant.name.empty()) name.append("@").append(variant.name);
  return name.append(".png");
}

}  // namespace Host
