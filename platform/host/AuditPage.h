#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/host/Audit.h"

// The gallery page's view of the audit: each picture in a box with its
// number of findings on it and, while the page's "Show findings" switch is
// on, an outline over each finding's frame (numbered, drawn by the page
// from the frames; the picture itself is untouched) and the list of them
// beside it. Pictures are shown at one pixel a point, so frames in the
// picture's points are pixels on the page.
namespace Host {

// The box of one picture: `image` (an <img> element) with `findings`; the
// box carries `classes` (the variant's, which the page shows or hides).
std::string auditedPictureHTML(std::string_view image, std::string_view classes,
                               const std::vector<Finding>& findings);

// The switch's input (before the page's <main>, beside the variant
// switch), its label, and the CSS the boxes need.
inline constexpr std::string_view findingsSwitchInput =
    "<input type=\"checkbox\" id=\"show-findings\">\n";
inline constexpr std::string_view findingsSwitchLabel =
    "<label for=\"show-findings\">Show findings</label>";
extern const std::string_view auditPageCSS;

}  // namespace Host
