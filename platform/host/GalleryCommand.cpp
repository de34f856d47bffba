#include <CLI/CLI.hpp>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/host/Audit.h"
#include "platform/host/AuditPage.h"
#include "platform/host/GalleryVariant.h"
#include "platform/host/HTMLText.h"
#include "platform/host/PictureCheck.h"
#include "platform/host/PictureOptions.h"
#include "platform/host/PlatformHostCommand.h"
#include "platform/ui/drawing/Output.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"
#include "platform/widgetkit/Chrome.h"
#include "platform/widgetkit/PresentationRenderer.h"

// gallery -o DIR [--scale N] [--appearance A] [--text-size S] [--screen WxH] [--check REFDIR]
//
// Draws every presentation of each preview state the activity offers
// (HostedActivity::previews) as PNG into DIR (created if missing), in each
// of the gallery's variants (GalleryVariant.h): the default's files named
// <state>-<presentation>.png, the others' <state>-<presentation>@<variant>.png.
// Writes DIR/index.html, a page under the previews' title that shows them in
// a grid with each state's caption and JSON, and a row of buttons that
// flips every picture to another variant (all are on the page; CSS shows
// one variant at a time, so flipping loads nothing). Each picture carries
// the number of its audit findings (Audit.h) and, behind a "Show findings"
// button, outlines of them drawn by the page and their list (AuditPage.h);
// the pictures themselves are the same either way. Given any of
// --appearance, --text-size or --screen, draws that one variant instead,
// in plain-named files. Pictures are at 3 pixels a point unless --scale
// says otherwise and shown at one pixel a point on the page; timer texts are
// read at the previews' moment. Prints the page's path. Offered only for an
// activity with preview states.
//
// With --check, compares every picture with the same-named one in REFDIR
// (see PictureCheck.h): prints a line for each changed, missing or new
// picture and a summary, writes DIR/check.html and DIR/diff/, and exits 1
// unless every picture matches. `gallery -o REFDIR` records references.
//
// Errors: 64 usage (a REFDIR that is empty, DIR, or inside DIR/diff: refused
// before anything is drawn), 66 a REFDIR that cannot be read, 74 a file or the directory that could
// not be written (a regular file is written whole or not at all; links are followed), 70 a state
// that does not decode or a drawing failure (both bugs).
namespace Host {

namespace {

using detail::escapeHTML;

// The id the page's CSS knows a variant by.
std::string variantClass(const GalleryVariant& variant) {
  return "v-" + std::string(variant.name.empty() ? "default" : variant.name);
}

// "2026-12-03 04:35:25.5 UTC": seconds with their fraction, if any.
std::string utcText(Foundation::Date date) {
  const double unix = date.timeIntervalSinceReferenceDate +
                      Foundation::Date::timeIntervalBetween1970AndReferenceDate;
  const double whole = std::floor(unix);
  const auto seconds = static_cast<std::time_t>(whole);
  std::tm tm{};
  gmtime_r(&seconds, &tm);
  char text[64];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
  std::string out = text;
  if (unix > whole) {
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, "%.3f", unix - whole);
    std::string digits = fraction + 1;  // ".500"
    while (digits.size() > 2 && digits.back() == '0') digits.pop_back();
    out += digits;
  }
  return out + " UTC";
}

// The head and the variant switch: one radio button a variant, before
// the sections, so that CSS can show each picture of the checked variant
// and hide the rest.
std::string pageHead(const ActivityPreviews& previews,
                     const std::vector<GalleryVariant>& variants) {
  std::string css, inputs, labels;
  for (std::size_t i = 0; i < variants.size(); ++i) {
    const std::string id = variantClass(variants[i]);
    css += "  #" + id + ":checked ~ main ." + id + " { display: block; }\n";
    css +=
        "  #" + id + ":checked ~ nav label[for=" + id + "] { background: #2f6fdf; color: #fff; }\n";
    inputs += "<input type=\"radio\" name=\"variant\" id=\"" + id + "\"" +
              (i == 0 ? " checked" : "") + ">\n";
    labels += "<label for=\"" + id + "\">" + escapeHTML(variants[i].label) + "</label>";
  }
  inputs += findingsSwitchInput;
  const std::string switcher = "<nav>" + (variants.size() > 1 ? "Show: " + labels + " " : "") +
                               std::string(findingsSwitchLabel) + "</nav>\n";
  const std::string title = escapeHTML(previews.title);
  return R"html(<!doctype html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>)html" +
         title + R"html(</title>
<style>
  body { background: #0b0b10; color: #e8e8ee; font: 14px/1.4 system-ui, sans-serif; margin: 24px; }
  h1 { font-size: 20px; margin: 0 0 4px; }
  section { border-top: 1px solid #2a2a35; padding: 16px 0; display: grid;
            grid-template-columns: max-content max-content 1fr; gap: 12px 20px; align-items: start; }
  section h2 { grid-column: 1 / -1; font-size: 16px; margin: 0; }
  section h2 small { font-weight: normal; color: #a0a0b0; margin-left: 8px; }
  figure { margin: 0; }
  figcaption { color: #a0a0b0; font-size: 12px; }
  .islands { display: grid; gap: 8px; }
  pre { grid-column: 3; grid-row: 2 / span 2; margin: 0; background: #16161e; padding: 8px 10px;
        border-radius: 8px; font-size: 11px; overflow: auto; max-height: 330px; }
  input[name=variant] { position: absolute; opacity: 0; pointer-events: none; }
  nav { position: sticky; top: 0; background: #0b0b10; padding: 8px 0; z-index: 1; }
  nav label { display: inline-block; margin-left: 6px; padding: 3px 10px; border-radius: 12px;
              background: #22222c; cursor: pointer; }
)html" + std::string(auditPageCSS) +
         css +
         R"html(</style>
</head>
<body>
)html" + inputs +
         R"html(<h1>)html" + title + R"html(</h1>
<p>Every presentation of each bundled content state, drawn as the platform shows it (the
Dynamic Island always dark); count-downs read at )html" +
         utcText(previews.now) + ".</p>\n" + switcher + "<main>\n";
}

// The largest picture the gallery draws, in pixels: the widest and the
// tallest canvas any presentation has (the large screen's lock-screen card
// and expanded island at their tallest) at the largest scale. A reference
// larger than this cannot be one of its pictures.
SwiftUI::Drawing::PixelSize largestGalleryPicture() {
  constexpr double tallest = 1e6;  // content taller than any chrome lets through
  SwiftUI::Drawing::Size canvas;
  for (const Chrome& chrome : {lockScreenChrome(tallest, std::nullopt, ScreenSize::large),
                               expandedIslandChrome(tallest, std::nullopt, ScreenSize::large)}) {
    canvas.width = std::max(canvas.width, chrome.canvas.width);
    canvas.height = std::max(canvas.height, chrome.canvas.height);
  }
  const auto size = SwiftUI::Drawing::pixelSize(canvas, detail::pictureScaleRange.maximum);
  assert(size);
  return *size;
}

}  // namespace

void installGalleryCommand(CLI::App& app, HostContext& context) {
  struct Options {
    std::string output;
    double scale = 3;
    std::optional<std::string> check;
    detail::VariantOptions variant;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand(
      "gallery", "Draw every presentation of the bundled sample states, with an index.html");
  command->add_option("-o,--output", options->output, "The directory to write into")->required();
  detail::addScaleOption(command, options->scale);
  command->add_option("--check", options->check,
                      "Compare each picture with the same-named PNG in this folder");
  detail::addVariantOptions(command, options->variant);

  setCommandBody(command, context, [options, &context]() -> CommandOutcome {
    std::optional<PictureReferences> references;  // with --check
    if (options->check) {
      auto opened = openReferences(*options->check, options->output);
      if (!opened) return std::move(opened).error();
      references = std::move(*opened);
    }
    const std::filesystem::path directory(options->output);
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error || !std::filesystem::is_directory(directory)) {
      return CommandFailure{exitIOError, "cannot create the directory " + options->output + ": " +
                                             (error ? error.message() : "File exists")};
    }
    std::vector<std::string> drawn;
    std::vector<GalleryVariant> variants(galleryVariants.begin(), galleryVariants.end());
    if (options->variant.given()) variants = {{"", "", options->variant.variant}};
    SwiftUI::Drawing::PangoTextMeasurer measurer;
    PresentationRenderer renderer(measurer);
    const ActivityPreviews& previews = context.activity.previews;
    std::string page = pageHead(previews, variants);
    for (const ActivityPreviewState& state : previews.states) {
      auto presentations = context.activity.presentContentState(state.json, previews.now);
      if (!presentations) {
        return CommandFailure{exitSoftware, "internal: gallery state " + std::string(state.id) +
                                                ": " + decodingErrorMessage(presentations.error())};
      }
      std::string figures[4];
      for (PresentationKind kind : allPresentationKinds) {
        figures[static_cast<int>(kind)] = "<figure>";
      }
      for (const GalleryVariant& variant : variants) {
        renderer.setVariant(variant.picture);
        for (PresentationKind kind : allPresentationKinds) {
          const PlacedPresentation placed = renderer.place(*presentations, kind, previews.now);
          const Picture picture = PresentationRenderer::picture(placed);
          std::vector<Finding> findings;
          auditPlaced(placed, picture, state.id, variant.picture, previews.now, findings);
          const std::string name = galleryFileName(state.id, kind, variant);
          if (auto written = writePicture(picture, PictureFormat::png, options->scale,
                                          (directory / name).string());
              !written) {
            return detail::outputFailure(written.error());
          }
          drawn.push_back(name);
          figures[static_cast<int>(kind)] += auditedPictureHTML(
              "<img src=\"" + name + "\" width=\"" +
                  std::to_string(static_cast<int>(std::ceil(picture.canvas.width))) + "\" alt=\"" +
                  std::string(nameOf(kind)) + "\">",
              variantClass(variant), findings);
        }
      }
      for (PresentationKind kind : allPresentationKinds) {
        figures[static_cast<int>(kind)] +=
            "<figcaption>" + std::string(nameOf(kind)) + "</figcaption></figure>";
      }
      page += "<section id=\"" + std::string(state.id) + "\">\n<h2>" + std::string(state.id) +
              "<small>" + escapeHTML(state.caption) + "</small></h2>\n";
      page += figures[0] + "\n" + figures[1] + "\n<pre>" + escapeHTML(state.json) + "</pre>\n";
      page += "<div class=\"islands\">" + figures[2] + figures[3] + "</div>\n</section>\n";
    }
    page += "</main>\n";
    page += "</body>\n</html>\n";
    const std::string index = (directory / "index.html").string();
    if (auto written = SwiftUI::Drawing::writeFile(index, page.data(), page.size()); !written) {
      return detail::outputFailure(written.error());
    }
    context.out << index << '\n';
    if (!references) return exitOK;
    return detail::reportPictureCheck(context, *references, drawn, options->output,
                                      largestGalleryPicture());
  });
}

}  // namespace Host
