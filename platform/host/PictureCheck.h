#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Result.h"
#include "platform/host/PlatformHostCommand.h"
#include "platform/ui/drawing/Output.h"

// Picture checks: the pictures a command just drew, each compared with the
// same-named PNG in a folder of references recorded earlier, so that a
// change that moves pixels is seen before it ships.
//
//   auto references = openReferences("tests/gallery/reference", "out");
//   if (!references) return std::move(references).error();  // exit 64 or 66
//   auto check = checkPictures(*references, drawnNames, "out", largest);
//   // out/diff/<name> for each changed picture, out/check.html beside them
namespace Host {

// The exit status of a check that found a changed, missing or new picture.
inline constexpr int exitPicturesDiffer = 1;

struct PictureReferences {
  std::string folder;
  std::vector<std::string> names;  // the folder's *.png files, sorted
};

// The PNG files directly inside `folder`, for a check whose pictures and
// report go to `output`. Refused (exit 64) when the check would write or
// delete inside the folder, judged by real paths (symbolic links followed):
// a folder that is `output` or lies inside its difference images, or none
// (""). Exit 66 when the folder cannot be read.
CommandResult<PictureReferences> openReferences(const std::string& folder,
                                                const std::string& output);

struct PictureCheckRow {
  enum class Outcome { same, changed, missing, added };
  std::string name;
  Outcome outcome = Outcome::same;
  // For a changed picture: how many pixels differ beyond the antialiasing
  // tolerance, the two sizes when they differ, and the difference image
  // (relative to the output folder; empty when there is none, as for a
  // reference that cannot be read, which `problem` then names).
  std::size_t differingPixels = 0;
  std::string referenceSize, drawnSize;
  std::string diff;
  std::string problem;

  // One line: "changed a.png: 120 pixels differ, see diff/a.png". Control
  // characters and backslashes in the name are escaped (\n, \x01, \\), so
  // that no name can break the line or pass for another.
  std::string line() const;
};

struct PictureCheck {
  std::vector<PictureCheckRow> rows;  // every picture, by name
  std::string page;                   // the page's path

  std::size_t count(PictureCheckRow::Outcome outcome) const;
  bool passed() const { return count(PictureCheckRow::Outcome::same) == rows.size(); }
  // "12 pictures: 11 match, 1 changed, 0 missing, 0 new; see out/check.html"
  std::string summary() const;
};

// Compares each of `drawn` (file names in `output`) with the reference of
// that name, writes a difference image under output/diff/ for each that
// differs (removing a stale one for each that matches) and output/check.html,
// which shows reference, new picture and difference side by side. A
// reference's PNG header is read first: one larger than `largest` on either
// side (a picture that could not have been drawn) is changed, and not
// decoded. One line of error when a drawn picture cannot be read back or a
// file cannot be written.
Foundation::Result<PictureCheck, std::string> checkPictures(const PictureReferences& references,
                                                            const std::vector<std::string>& drawn,
                                                            const std::string& output,
                                                            SwiftUI::Drawing::PixelSize largest);

namespace detail {

// The check as a command reports it: a line on standard output for each
// picture that is not the same and a summary; exitPicturesDiffer when any is
// not, exitOK when all are, or a failure (74) when the check could not be
// made.
CommandOutcome reportPictureCheck(const HostContext& context, const PictureReferences& references,
                                  const std::vector<std::string>& drawn, const std::string& output,
                                  SwiftUI::Drawing::PixelSize largest);

}  // namespace detail

}  // namespace Host
