#include "platform/host/PictureCheck.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <string_view>
#include <system_error>

#include "platform/host/HTMLText.h"
#include "platform/ui/drawing/ImageCompare.h"
#include "platform/ui/drawing/Output.h"

namespace Host {

namespace fs = std::filesystem;
using SwiftUI::Drawing::SurfacePtr;

namespace {

using detail::escapeHTML;
using detail::escapeURLPath;

bool endsWithPNG(const std::string& name) {
  return name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0;
}

std::string sizeText(int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height);
}
std::string sizeText(cairo_surface_t* image) {
  return sizeText(cairo_image_surface_get_width(image), cairo_image_surface_get_height(image));
}

// The pixel size a PNG file declares in its header, read without decoding
// anything else.
Foundation::Result<SwiftUI::Drawing::PixelSize, std::string> declaredSize(const fs::path& file) {
  // The signature, then the IHDR chunk: length, type, width, height.
  static constexpr unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  unsigned char head[24] = {};
  std::ifstream in(file, std::ios::binary);
  in.read(reinterpret_cast<char*>(head), sizeof head);
  if (!in) return file.string() + ": cannot read its PNG header";
  if (!std::equal(std::begin(signature), std::end(signature), head) ||
      std::string_view(reinterpret_cast<const char*>(head + 12), 4) != "IHDR") {
    return file.string() + ": not a PNG file";
  }
  const auto word = [&](int at) {
    return std::uint32_t{head[at]} << 24 | std::uint32_t{head[at + 1]} << 16 |
           std::uint32_t{head[at + 2]} << 8 | std::uint32_t{head[at + 3]};
  };
  constexpr std::uint32_t largest = std::numeric_limits<int>::max();
  return SwiftUI::Drawing::PixelSize{static_cast<int>(std::min(word(16), largest)),
                                     static_cast<int>(std::min(word(20), largest))};
}

// A reference decoded, unless its header declares a size larger than
// `largest`; else what is wrong with it, for the report.
Foundation::Result<SurfacePtr, std::string> readReference(const fs::path& file,
                                                          SwiftUI::Drawing::PixelSize largest) {
  const auto declared = declaredSize(file);
  if (!declared) return "the reference cannot be read: " + declared.error();
  if (declared->width > largest.width || declared->height > largest.height) {
    return "a reference of " + sizeText(declared->width, declared->height) +
           " pixels, larger than any picture drawn";
  }
  auto reference = SwiftUI::Drawing::readPNG(file.string());
  if (!reference) return "the reference cannot be read: " + reference.error();
  return reference;
}

// The reference folder as the page in `output` reaches it: relative when
// there is such a path, absolute otherwise.
std::string folderFrom(const fs::path& output, const fs::path& folder) {
  std::error_code error;
  const fs::path from = fs::weakly_canonical(fs::absolute(output, error), error);
  const fs::path to = fs::weakly_canonical(fs::absolute(folder, error), error);
  fs::path relative = error ? fs::path() : to.lexically_relative(from);
  if (relative.empty()) relative = to;
  std::string text = relative.generic_string();
  if (!text.empty() && text.back() != '/') text += '/';
  return text;
}

std::string figure(const std::string& source, const char* caption) {
  if (source.empty())
    return "<figure class=\"none\"><figcaption>no " + std::string(caption) +
           "</figcaption></figure>";
  return "<figure><img src=\"" + escapeHTML(escapeURLPath(source)) + "\" alt=\"" + caption +
         "\"><figcaption>" + caption + "</figcaption></figure>";
}

std::string page(const PictureCheck& check, const std::string& referencePrefix) {
  std::string html = R"html(<!doctype html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Picture check</title>
<style>
  body { background: #0b0b10; color: #e8e8ee; font: 14px/1.4 system-ui, sans-serif; margin: 24px; }
  h1 { font-size: 20px; margin: 0 0 4px; }
  section { border-top: 1px solid #2a2a35; padding: 12px 0; display: flex; gap: 20px;
            flex-wrap: wrap; align-items: start; }
  section h2 { flex-basis: 100%; font-size: 15px; margin: 0; }
  section h2 small { font-weight: normal; color: #a0a0b0; margin-left: 8px; }
  figure { margin: 0; }
  figure img { max-width: 420px; background: repeating-conic-gradient(#222 0 25%, #333 0 50%) 0 0 / 16px 16px; }
  figcaption { color: #a0a0b0; font-size: 12px; }
</style>
</head>
<body>
<h1>Picture check</h1>
<p>)html" + escapeHTML(check.summary()) +
                     "</p>\n";
  for (const PictureCheckRow& row : check.rows) {
    if (row.outcome == PictureCheckRow::Outcome::same) continue;
    const bool hasReference = row.outcome != PictureCheckRow::Outcome::added;
    const bool hasDrawn = row.outcome != PictureCheckRow::Outcome::missing;
    html += "<section>\n<h2>" + escapeHTML(row.name) + "<small>" + escapeHTML(row.line()) +
            "</small></h2>\n";
    html += figure(hasReference ? referencePrefix + row.name : "", "reference") + "\n";
    html += figure(hasDrawn ? row.name : "", "new") + "\n";
    html += figure(row.diff, "difference") + "\n</section>\n";
  }
  if (check.passed()) html += "<p>Every picture matches its reference.</p>\n";
  return html + "</body>\n</html>\n";
}

}  // namespace

std::string PictureCheckRow::line() const {
  switch (outcome) {
    case Outcome::same: return "same " + printable(name);
    case Outcome::missing: return "missing " + printable(name) + ": a reference that was not drawn";
    case Outcome::added: return "new " + printable(name) + ": drawn, with no reference";
    case Outcome::changed: break;
  }
  std::string text = "changed " + printable(name) + ": ";
  if (!problem.empty()) return text + printable(problem);
  if (referenceSize != drawnSize) text += referenceSize + " pixels, now " + drawnSize + ", ";
  text += std::to_string(differingPixels) +
          (differingPixels == 1 ? " pixel differs" : " pixels differ");
  if (!diff.empty()) text += ", see " + printable(diff);
  return text;
}

std::size_t PictureCheck::count(PictureCheckRow::Outcome outcome) const {
  return static_cast<std::size_t>(
      std::count_if(rows.begin(), rows.end(),
                    [&](const PictureCheckRow& row) { return row.outcome == outcome; }));
}

std::string PictureCheck::summary() const {
  using Outcome = PictureCheckRow::Outcome;
  return std::to_string(rows.size()) + (rows.size() == 1 ? " picture: " : " pictures: ") +
         std::to_string(count(Outcome::same)) + " match, " +
         std::to_string(count(Outcome::changed)) + " changed, " +
         std::to_string(count(Outcome::missing)) + " missing, " +
         std::to_string(count(Outcome::added)) + " new; see " + printable(page);
}

CommandResult<PictureReferences> openReferences(const std::string& folder,
                                                const std::string& output) {
  if (folder.empty()) return CommandFailure{exitUsage, "--check needs a folder, not \"\""};
  std::error_code error;
  const fs::path real = fs::weakly_canonical(fs::absolute(folder), error);
  const fs::path out = fs::weakly_canonical(fs::absolute(output), error);
  const fs::path diffs = out / "diff";
  const auto within = [&](const fs::path& parent) {
    const auto [end, _] = std::mismatch(parent.begin(), parent.end(), real.begin(), real.end());
    return end == parent.end();
  };
  if (error || real == out || within(diffs)) {
    return CommandFailure{exitUsage,
                          "--check needs a folder apart from the output and its "
                          "difference images, not " +
                              folder};
  }
  PictureReferences references{folder, {}};
  std::error_code failure;
  fs::directory_iterator it(folder, failure);
  for (; !failure && it != fs::directory_iterator(); it.increment(failure)) {
    const std::string name = it->path().filename().string();
    if (endsWithPNG(name) && it->is_regular_file(failure)) references.names.push_back(name);
  }
  if (failure) {
    return CommandFailure{exitNoInput,
                          "cannot read the reference folder " + folder + ": " + failure.message()};
  }
  std::sort(references.names.begin(), references.names.end());
  return references;
}

Foundation::Result<PictureCheck, std::string> checkPictures(const PictureReferences& references,
                                                            const std::vector<std::string>& drawn,
                                                            const std::string& output,
                                                            SwiftUI::Drawing::PixelSize largest) {
  using Outcome = PictureCheckRow::Outcome;
  const fs::path out(output);
  std::map<std::string, bool> names;  // name -> drawn
  for (const std::string& name : references.names) names.emplace(name, false);
  for (const std::string& name : drawn) names[name] = true;

  PictureCheck check;
  check.page = (out / "check.html").string();
  bool diffFolderMade = false;
  for (const auto& [name, wasDrawn] : names) {
    PictureCheckRow row;
    row.name = name;
    const bool referenced =
        std::binary_search(references.names.begin(), references.names.end(), name);
    const fs::path diffPath = out / "diff" / name;
    if (!referenced) {
      row.outcome = Outcome::added;
    } else if (!wasDrawn) {
      row.outcome = Outcome::missing;
    } else {
      const auto picture = SwiftUI::Drawing::readPNG((out / name).string());
      if (!picture) return picture.error();
      const auto reference = readReference(fs::path(references.folder) / name, largest);
      if (!reference) {
        row.outcome = Outcome::changed;
        row.problem = reference.error();
      } else {
        const auto d = SwiftUI::Drawing::compareImages(reference->get(), picture->get());
        if (!d.matches()) {
          row.outcome = Outcome::changed;
          row.differingPixels = d.differingPixels;
          row.referenceSize = sizeText(reference->get());
          row.drawnSize = sizeText(picture->get());
          std::error_code made;
          if (!diffFolderMade) fs::create_directories(out / "diff", made);
          diffFolderMade = true;
          const SurfacePtr image =
              SwiftUI::Drawing::differenceImage(reference->get(), picture->get());
          if (!image) return diffPath.string() + ": cannot create the difference image";
          std::vector<unsigned char> png;
          auto written = SwiftUI::Drawing::encodePNG(image.get(), png);
          if (written)
            written = SwiftUI::Drawing::writeFile(diffPath.string(), png.data(), png.size());
          if (!written) return written.error().message;
          row.diff = "diff/" + name;
        }
      }
    }
    if (row.diff.empty()) {
      std::error_code ignored;  // a stale difference from an earlier check
      fs::remove(diffPath, ignored);
    }
    check.rows.push_back(std::move(row));
  }
  const std::string html = page(check, folderFrom(out, references.folder));
  if (auto written = SwiftUI::Drawing::writeFile(check.page, html.data(), html.size()); !written) {
    return written.error().message;
  }
  return check;
}

CommandOutcome detail::reportPictureCheck(const HostContext& context,
                                          const PictureReferences& references,
                                          const std::vector<std::string>& drawn,
                                          const std::string& output,
                                          SwiftUI::Drawing::PixelSize largest) {
  const auto check = checkPictures(references, drawn, output, largest);
  if (!check) return CommandFailure{exitIOError, check.error()};
  for (const PictureCheckRow& row : check->rows) {
    if (row.outcome != PictureCheckRow::Outcome::same) context.out << row.line() << '\n';
  }
  context.out << check->summary() << '\n';
  return check->passed() ? exitOK : exitPicturesDiffer;
}

}  // namespace Host
