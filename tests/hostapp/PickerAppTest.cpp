// picker-app end to end: the first line shows the picker as its initialiser
// left it, then one line per URL the delegate received. What Docmend makes
// of each kind of item is pinned down by the library's own tests; here, that
// the app loads it from beside itself, and the app's command line.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pickerfix/CopyFolder.h"

namespace {

namespace fs = std::filesystem;

struct AppRun {
  int exitCode = -1;
  std::vector<std::string> out;
  std::string err;
};

class PickerApp : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/picker-app-test.XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    root_ = name;
    for (const char* dir : {"home", "tmp", "outside"}) fs::create_directories(root_ / dir);
    std::ofstream(root_ / "outside" / "May.pdf") << "may";
    std::ofstream(root_ / "outside" / "June.pdf") << "june";
    std::ofstream(root_ / "home" / "Mine.txt") << "mine";
  }
  void TearDown() override { fs::remove_all(root_); }

  // Runs `app ARGS` with a home and a temporary directory of its own.
  AppRun run(const std::vector<std::string>& args, const fs::path& app = PICKER_APP_PATH) {
    std::string command = "HOME='" + (root_ / "home").string() + "' TMPDIR='" +
                          (root_ / "tmp").string() + "' '" + app.string() + "'";
    for (const auto& arg : args) command += " '" + arg + "'";
    command += " 2>'" + (root_ / "stderr").string() + "'";
    AppRun result;
    FILE* out = popen(command.c_str(), "r");
    for (char line[4096]; std::fgets(line, sizeof line, out) != nullptr;)
      result.out.push_back(std::string(line).substr(0, std::string(line).find('\n')));
    const int status = pclose(out);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(root_ / "stderr");
    result.err.assign(std::istreambuf_iterator<char>(err), {});
    return result;
  }

  std::string outside(const char* name) const { return (root_ / "outside" / name).string(); }
  fs::path copies() const { return root_ / "tmp" / kTDMCopyFolder; }
  bool isCopy(const std::string& line, const char* name) const {
    fs::path p(line);
    return p.filename() == name && p.parent_path().parent_path() == copies();
  }

  fs::path root_;
};

TEST_F(PickerApp, WithDocmendOpenBecomesImportAndOutsideFilesArriveAsCopies) {
  const std::string mine = (root_ / "home" / "Mine.txt").string();
  AppRun r = run({"pick", "--mode", "open", outside("May.pdf"), "https://example.com/a.pdf", mine,
                  outside("Gone.pdf"), outside("June.pdf")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  ASSERT_EQ(r.out.size(), 6u) << r.err;
  EXPECT_EQ(r.out[0], "mode=import asCopy=yes");
  EXPECT_TRUE(isCopy(r.out[1], "May.pdf")) << r.out[1];
  EXPECT_EQ(r.out[2], "https://example.com/a.pdf");
  EXPECT_EQ(r.out[3], mine);
  EXPECT_EQ(r.out[4], outside("Gone.pdf"));
  EXPECT_TRUE(isCopy(r.out[5], "June.pdf")) << r.out[5];
  EXPECT_NE(r.err.find("[Docmend] could not copy Gone.pdf: "), std::string::npos) << r.err;

  // The other initialiser always copies; a single-URL delegate gets the
  // first item, and only it is copied.
  fs::remove_all(copies());
  AppRun single = run({"pick", "--init", "content-types", "--delegate", "single",
                       outside("May.pdf"), outside("June.pdf")});
  ASSERT_EQ(single.out.size(), 2u) << single.err;
  EXPECT_EQ(single.out[0], "mode=import asCopy=yes");
  EXPECT_TRUE(isCopy(single.out[1], "May.pdf")) << single.out[1];
  EXPECT_EQ(std::distance(fs::directory_iterator(copies()), fs::directory_iterator()), 1);
  EXPECT_EQ(run({"pick", "--mode", "export"}).out.at(0), "mode=export asCopy=yes");
  EXPECT_EQ(run({"pick", "--mode", "move"}).out.at(0), "mode=move asCopy=no");
}

TEST_F(PickerApp, WithoutDocmendBesideItItemsPassUnchanged) {
  fs::path bare = root_ / "Bare";
  fs::create_directories(bare);
  fs::copy_file(PICKER_APP_PATH, bare / "picker-app");
  // A path that would break its line is written escaped, as in Docmend's log.
  AppRun r = run({"pick", "--init", "content-types", outside("May.pdf"), "https://example.com/b",
                  outside("Two\nlines\u2028\\.pdf")},
                 bare / "picker-app");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, (std::vector<std::string>{"mode=open asCopy=no", outside("May.pdf"),
                                             "https://example.com/b",
                                             outside("Two\\nlines\\u2028\\\\.pdf")}));
  EXPECT_FALSE(fs::exists(copies()));
}

TEST_F(PickerApp, UsageErrorsExit64) {
  for (const auto& args :
       std::vector<std::vector<std::string>>{{},
                                             {"pick", "--mode", "sideways"},
                                             {"pick", "--init", "content-types", "--mode", "open"},
                                             {"pick", "--as-copy"}})
    EXPECT_EQ(run(args).exitCode, 64) << args.size();
  EXPECT_EQ(run({"pick", "--help"}).exitCode, 0);
}

}  // namespace
