// The gallery of an activity's preview states and its picture check, with the
// tests' own small activity.
#include "platform/host/GalleryVariant.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/drawing/ImageCompare.h"
#include "tests/platform/host/RunHost.h"
#include "tests/platform/widgetkit/Parcels.h"

namespace {

using parcels::Outcome;
using parcels::ParcelAttributes;

// An activity with no configuration is only validated.
TEST(HostedActivity, PictureCommandsNeedAConfiguration) {
  const Host::PlatformHost validateOnly(
      WidgetKit::HostedActivity::make<ParcelAttributes>("Parcel"));
  for (const char* command : {"describe", "render", "gallery"}) {
    const Outcome r = parcels::run(validateOnly, {command, "-o", "x"}, R"({"parcels": 2})");
    EXPECT_EQ(r.code, 64) << command;
    EXPECT_EQ(r.out, "");
  }
}

class GalleryCommand : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove_all(dir); }
  void TearDown() override { std::filesystem::remove_all(dir); }
  Outcome run(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), "gallery");
    return parcels::run(Host::PlatformHost::forBundle<parcels::ParcelBundle>(),
                        std::move(arguments));
  }
  static std::string read(const std::filesystem::path& file) {
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("gallery-test-" + std::to_string(::getpid()));
};

// The gallery draws the states the widget offers, four pictures each, on a
// page under the widget's title with each caption and state, escaped.
TEST_F(GalleryCommand, DrawsThePreviewStatesTheWidgetOffers) {
  const Outcome r = run({"-o", dir.string(), "--scale", "1"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, (dir / "index.html").string() + "\n");
  const std::string page = read(dir / "index.html");
  // Every variant's pictures are on the page, one switch each.
  for (const char* id : {"two", "none"}) {
    for (WidgetKit::PresentationKind kind : WidgetKit::allPresentationKinds) {
      for (const Host::GalleryVariant& variant : Host::galleryVariants) {
        const std::string name = Host::galleryFileName(id, kind, variant);
        EXPECT_TRUE(std::filesystem::is_regular_file(dir / name)) << name;
        EXPECT_NE(page.find("src=\"" + name + "\""), std::string::npos) << name;
      }
    }
  }
  std::size_t switches = 0;
  for (auto at = page.find("type=\"radio\""); at != std::string::npos;
       at = page.find("type=\"radio\"", at + 1))
    ++switches;
  EXPECT_EQ(switches, Host::galleryVariants.size());
  EXPECT_NE(page.find("<title>Parcel gallery</title>"), std::string::npos);
  EXPECT_NE(page.find("Two parcels &amp; a &lt;timer&gt;."), std::string::npos);
  EXPECT_NE(page.find(R"({&quot;parcels&quot;: 2})"), std::string::npos);
  EXPECT_NE(page.find("2001-01-01 00:01:40 UTC"), std::string::npos);  // the previews' moment

  // A variant named on the command line is the only one drawn, plainly named.
  std::filesystem::remove_all(dir);
  const Outcome one = run({"-o", dir.string(), "--scale", "1", "--appearance", "light"});
  ASSERT_EQ(one.code, 0) << one.err;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2 * 4 + 1);
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "two-lock-screen.png"));
}

// A fresh record matches; a reference with a changed block of pixels, one
// the gallery no longer draws and a picture with no reference each fail the
// check, with a line each and a difference image for the changed one.
TEST_F(GalleryCommand, CheckFindsChangedMissingAndNewPictures) {
  const std::string refs = (dir / "refs").string(), out = (dir / "out").string();
  ASSERT_EQ(run({"-o", refs, "--scale", "1"}).code, 0);
  const std::vector<std::string> check = {"-o", out, "--scale", "1", "--check", refs};
  Outcome r = run(check);
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("40 pictures: 40 match, 0 changed, 0 missing, 0 new"), std::string::npos);

  const std::string changed = refs + "/two-lock-screen.png";
  auto image = SwiftUI::Drawing::readPNG(changed);
  ASSERT_TRUE(image);
  cairo_t* cr = cairo_create(image->get());
  cairo_set_source_rgb(cr, 1, 0, 1);
  cairo_rectangle(cr, 2, 2, 4, 3);
  cairo_fill(cr);
  cairo_destroy(cr);
  std::vector<unsigned char> png;
  ASSERT_TRUE(SwiftUI::Drawing::encodePNG(image->get(), png));
  ASSERT_TRUE(SwiftUI::Drawing::writeFile(changed, png.data(), png.size()));
  std::filesystem::rename(refs + "/none-minimal.png", refs + "/gone-minimal.png");
  r = run(check);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out,
            out +
                "/index.html\n"
                "missing gone-minimal.png: a reference that was not drawn\n"
                "new none-minimal.png: drawn, with no reference\n"
                "changed two-lock-screen.png: 12 pixels differ, see diff/two-lock-screen.png\n"
                "41 pictures: 38 match, 1 changed, 1 missing, 1 new; see " +
                out + "/check.html\n");
  EXPECT_TRUE(SwiftUI::Drawing::readPNG(out + "/diff/two-lock-screen.png"));
  EXPECT_NE(read(out + "/check.html").find(R"(<img src="../refs/two-lock-screen.png")"),
            std::string::npos);

  r = run({"-o", out, "--check", (dir / "nowhere").string()});
  EXPECT_EQ(r.code, 66);
  EXPECT_NE(r.err.find("cannot read the reference folder"), std::string::npos);
}

// The check writes and deletes only in the output: a reference folder that
// is the output or lies among its difference images, directly or through a
// link, or that is no folder at all, is refused before anything is drawn,
// and its references stay as they were.
TEST_F(GalleryCommand, CheckRefusesAFolderItWouldWriteInto) {
  namespace fs = std::filesystem;
  const fs::path out = dir / "out", diffs = out / "diff";
  ASSERT_EQ(run({"-o", diffs.string(), "--scale", "1"}).code, 0);
  fs::remove(diffs / "index.html");
  fs::create_directory_symlink(diffs, dir / "to-diff");
  fs::create_directory_symlink(out, dir / "to-out");
  const auto listing = [&] {
    std::vector<std::pair<std::string, std::uintmax_t>> files;
    for (const auto& entry : fs::directory_iterator(diffs))
      files.emplace_back(entry.path().filename().string(), entry.file_size());
    std::sort(files.begin(), files.end());
    return files;
  };
  const auto before = listing();
  for (const fs::path& refs : {out, diffs, dir / "to-diff", dir / "to-out", dir / "to-out/diff",
                               out / "." / "diff" / ".." / "diff", fs::path()}) {
    const Outcome r = run({"-o", out.string(), "--scale", "1", "--check", refs.string()});
    EXPECT_EQ(r.code, 64) << refs << r.out;
    EXPECT_EQ(r.err.rfind("error: --check needs a folder", 0), 0u) << refs << r.err;
    EXPECT_EQ(listing(), before) << refs;
    EXPECT_FALSE(fs::exists(out / "index.html")) << refs;
  }
}

// Whatever a reference is named or holds, the report keeps one line a
// picture and the page finds it: names are escaped in the lines, paths in
// the page's links, and a reference whose header declares a size no
// picture has is changed without being decoded.
TEST_F(GalleryCommand, CheckReportsHostileReferencesSafely) {
  namespace fs = std::filesystem;
  const fs::path refs = dir / "ref#1", out = dir / "out";
  ASSERT_EQ(run({"-o", refs.string(), "--scale", "1"}).code, 0);
  // A PNG whose header (with its CRC) declares 8000 x 8000 one-bit pixels,
  // with no image data after it.
  const unsigned char header[] = {0x89, 'P', 'N',  'G',  '\r', '\n', 0x1a, '\n',  // signature
                                  0,    0,   0,    13,   'I',  'H',  'D',  'R',   // IHDR
                                  0,    0,   0x1f, 0x40, 0,    0,    0x1f, 0x40, 1,
                                  0,    0,   0,    0,    0x2e, 0x8a, 0x90, 0x59};
  std::ofstream(refs / "two-lock-screen.png", std::ios::binary)
      .write(reinterpret_cast<const char*>(header), sizeof header);
  std::ofstream(refs / "a\nchanged b.png: 999 pixels differ\\.png") << "x";

  const Outcome r = run({"-o", out.string(), "--scale", "1", "--check", refs.string()});
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_EQ(r.out, out.string() +
                       "/index.html\n"
                       "missing a\\nchanged b.png: 999 pixels differ\\\\.png: a reference that "
                       "was not drawn\n"
                       "changed two-lock-screen.png: a reference of 8000x8000 pixels, larger than "
                       "any picture drawn\n"
                       "41 pictures: 39 match, 1 changed, 1 missing, 0 new; see " +
                       out.string() + "/check.html\n");
  const std::string page = read(out / "check.html");
  EXPECT_NE(page.find(R"(<img src="../ref%231/two-lock-screen.png")"), std::string::npos);
  EXPECT_NE(page.find(R"(src="../ref%231/a%0Achanged%20b.png%3A%20999%20pixels%20differ%5C.png")"),
            std::string::npos);
}

}  // namespace
