// picker-app end to end: the first line shows the picker as its initialiser
// left it, then one line per URL the delegate received.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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

std::vector<std::string> lines(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::string> result;
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

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

  AppRun run(const fs::path& app, std::vector<std::string> args) {
    AppRun result;
    fs::path out = root_ / "stdout";
    fs::path err = root_ / "stderr";
    pid_t pid = fork();
    if (pid == 0) {
      setenv("HOME", (root_ / "home").c_str(), 1);
      setenv("TMPDIR", (root_ / "tmp").c_str(), 1);
      int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(o, STDOUT_FILENO);
      dup2(e, STDERR_FILENO);
      std::vector<char*> argv{const_cast<char*>(app.c_str())};
      for (auto& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(app.c_str(), argv.data());
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = lines(out);
    std::stringstream text;
    text << std::ifstream(err).rdbuf();
    result.err = text.str();
    return result;
  }

  std::string outside(const char* name) const { return (root_ / "outside" / name).string(); }
  fs::path copies() const { return root_ / "tmp" / kTDMCopyFolder; }
  bool isCopy(const std::string& line, const char* name) const {
    fs::path p(line);
    return p.filename() == name && p.parent_path().parent_path() == copies();
  }

  fs::path root_;
  const fs::path app_ = PICKER_APP_PATH;
};

TEST_F(PickerApp, WithDocmendOpenBecomesImportAndOutsideFilesArriveAsCopies) {
  AppRun r = run(app_, {"pick", "--mode", "open", outside("May.pdf"), "https://example.com/a.pdf",
                        (root_ / "home" / "Mine.txt").string(), outside("June.pdf")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  ASSERT_EQ(r.out.size(), 5u) << r.err;
  EXPECT_EQ(r.out[0], "mode=import asCopy=yes");
  EXPECT_TRUE(isCopy(r.out[1], "May.pdf")) << r.out[1];
  EXPECT_EQ(r.out[2], "https://example.com/a.pdf");
  EXPECT_EQ(r.out[3], (root_ / "home" / "Mine.txt").string());
  EXPECT_TRUE(isCopy(r.out[4], "June.pdf")) << r.out[4];
}

TEST_F(PickerApp, WithDocmendContentTypesAlwaysAsCopyAndOtherModesKept) {
  AppRun opening = run(app_, {"pick", "--init", "content-types", "--delegate", "single",
                              outside("May.pdf"), outside("June.pdf")});
  ASSERT_EQ(opening.out.size(), 2u) << "the single-URL delegate gets the first item";
  EXPECT_EQ(opening.out[0], "mode=import asCopy=yes");
  EXPECT_TRUE(isCopy(opening.out[1], "May.pdf")) << opening.out[1];
  EXPECT_EQ(std::distance(fs::directory_iterator(copies()), fs::directory_iterator()), 1);
  EXPECT_EQ(run(app_, {"pick", "--mode", "export"}).out.at(0), "mode=export asCopy=yes");
  EXPECT_EQ(run(app_, {"pick", "--mode", "move"}).out.at(0), "mode=move asCopy=no");
}

TEST_F(PickerApp, WithoutDocmendBesideItItemsPassUnchanged) {
  fs::path bare = root_ / "Bare";
  fs::create_directories(bare);
  fs::copy_file(app_, bare / "picker-app");
  fs::permissions(bare / "picker-app", fs::perms::owner_all);
  AppRun r = run(bare / "picker-app",
                 {"pick", "--init", "content-types", outside("May.pdf"), "https://example.com/b"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, (std::vector<std::string>{"mode=open asCopy=no", outside("May.pdf"),
                                             "https://example.com/b"}));
  EXPECT_FALSE(fs::exists(copies()));
}

TEST_F(PickerApp, MissingFileIsLoggedAndPassedOn) {
  AppRun r = run(app_, {"pick", outside("Gone.pdf")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, (std::vector<std::string>{"mode=import asCopy=yes", outside("Gone.pdf")}));
  EXPECT_NE(r.err.find("[Docmend] could not copy Gone.pdf: "), std::string::npos) << r.err;
}

TEST_F(PickerApp, UsageErrorsExit64) {
  for (const auto& args :
       std::vector<std::vector<std::string>>{{},
                                             {"pick", "--mode", "sideways"},
                                             {"pick", "--init", "content-types", "--mode", "open"},
                                             {"pick", "--as-copy"}})
    EXPECT_EQ(run(app_, args).exitCode, 64) << args.size();
  EXPECT_EQ(run(app_, {"pick", "--help"}).exitCode, 0);
}

}  // namespace
