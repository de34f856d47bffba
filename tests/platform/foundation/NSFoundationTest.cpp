// Foundation's object classes: URLs, path strings, the standard directories,
// the log and the file manager (what Docmend's tests do not reach). Expected texts follow the
// platform's documented behaviour and wordings.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSPathUtilities.h"

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string readFile(const fs::path& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

class NSFoundation : public ::testing::Test {
 protected:
  AutoreleasePool pool_;
};

TEST_F(NSFoundation, URLsFromPathsAndStrings) {
  NSURL* url = NSURL::fileURLWithPath("/tmp//reports/May Report.pdf/");
  EXPECT_TRUE(url->isFileURL());
  EXPECT_EQ(url->path(), "/tmp/reports/May Report.pdf");
  EXPECT_EQ(url->lastPathComponent(), "May Report.pdf");
  EXPECT_EQ(url->absoluteString(), "file:///tmp/reports/May%20Report.pdf");
  EXPECT_EQ(NSURL::fileURLWithPath("/")->lastPathComponent(), "/");
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(NSURL::fileURLWithPath("notes.txt")->path(), std::string(cwd) + "/notes.txt");

  NSURL* web = NSURL::URLWithString("HTTPS://example.com/files/May%20Report.pdf?x=1#top");
  ASSERT_NE(web, nullptr);
  EXPECT_FALSE(web->isFileURL());
  EXPECT_EQ(web->scheme(), "https");
  EXPECT_EQ(web->path(), "/files/May Report.pdf");
  NSURL* file = NSURL::URLWithString("file:///var/a%20b.txt");
  EXPECT_TRUE(file->isFileURL());
  EXPECT_EQ(file->path(), "/var/a b.txt");
  EXPECT_EQ(NSURL::URLWithString("no scheme here"), nullptr);
  EXPECT_EQ(NSURL::URLWithString("1http://x"), nullptr);
}

TEST_F(NSFoundation, PathComponents) {
  // The platform's documented examples.
  EXPECT_EQ(NSStringByAppendingPathComponent("/tmp", "scratch.tiff"), "/tmp/scratch.tiff");
  EXPECT_EQ(NSStringByAppendingPathComponent("/tmp/", "scratch.tiff"), "/tmp/scratch.tiff");
  EXPECT_EQ(NSStringByAppendingPathComponent("/", "scratch.tiff"), "/scratch.tiff");
  EXPECT_EQ(NSStringByAppendingPathComponent("", "scratch.tiff"), "scratch.tiff");
  EXPECT_EQ(NSStringLastPathComponent("/tmp/scratch.tiff"), "scratch.tiff");
  EXPECT_EQ(NSStringLastPathComponent("/tmp/"), "tmp");
  EXPECT_EQ(NSStringLastPathComponent("scratch///"), "scratch");
  EXPECT_EQ(NSStringLastPathComponent("/"), "/");
}

TEST_F(NSFoundation, StandardDirectoriesFollowTheEnvironment) {
  setenv("HOME", "/home/someone/", 1);
  setenv("TMPDIR", "/var/tmp/app", 1);
  EXPECT_EQ(NSHomeDirectory(), "/home/someone");
  EXPECT_EQ(NSTemporaryDirectory(), "/var/tmp/app/");
  setenv("TMPDIR", "", 1);
  EXPECT_EQ(NSTemporaryDirectory(), Foundation::detail::userTemporaryDirectory("/tmp") + "/");
  unsetenv("TMPDIR");
  EXPECT_EQ(NSTemporaryDirectory(), Foundation::detail::userTemporaryDirectory("/tmp") + "/");
  unsetenv("HOME");
  EXPECT_EQ(NSHomeDirectory().front(), '/');
}

TEST_F(NSFoundation, LogWritesOneLineToStandardError) {
  char name[] = "/tmp/nslog-test.XXXXXX";
  int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  int saved = dup(STDERR_FILENO);
  dup2(fd, STDERR_FILENO);
  NSLog("[Docmend] could not copy %@: %@ (100%%, %d) %@", std::string("May.pdf"),
        "The file is gone.", 3, NSURL::fileURLWithPath("/a b"));
  dup2(saved, STDERR_FILENO);
  close(saved);
  close(fd);
  const std::string text = readFile(name);
  unlink(name);
  const std::regex line(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} [^\[]+\[\d+:\d+\] )"
                        R"(\[Docmend\] could not copy May\.pdf: The file is gone\. )"
                        R"(\(100%, 3\) file:///a%20b\n)");
  EXPECT_TRUE(std::regex_match(text, line)) << text;
}

class NSFileManagerTest : public NSFoundation {
 protected:
  void SetUp() override {
    char name[] = "/tmp/nsfilemanager-test.XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    out_ = fs::path(name) / "tmp";
    fs::create_directories(out_);
  }
  void TearDown() override { fs::remove_all(out_.parent_path()); }
  fs::path out() const { return out_; }

  NSFileManager* manager_ = NSFileManager::defaultManager();
  fs::path out_;
};

TEST_F(NSFileManagerTest, CreateDirectoryWithAndWithoutIntermediates) {
  NSError* error = nullptr;
  fs::path deep = out() / "a" / "b" / "c";
  EXPECT_FALSE(manager_->createDirectoryAtPath(deep.string(), false, nil, &error));
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->code(), NSFileNoSuchFileError);
  EXPECT_TRUE(manager_->createDirectoryAtPath(deep.string(), true, nil, &error));
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_TRUE(manager_->createDirectoryAtPath(deep.string(), true, nil, &error)) << "exists";
  EXPECT_FALSE(manager_->createDirectoryAtPath(deep.string(), false, nil, &error));
  EXPECT_EQ(error->code(), NSFileWriteFileExistsError);
  writeFile(out() / "plain", "x");
  EXPECT_FALSE(
      manager_->createDirectoryAtPath((out() / "plain" / "sub").string(), true, nil, &error));
  EXPECT_EQ(error->domain(), NSCocoaErrorDomain);
}

// The user's own temporary directory is made private when missing and used
// only while it stays so; whatever else sits at its path (a link, even to a
// folder of the user's, a folder others may enter, another user's folder, a
// file) gives way to a fresh private directory, the same one on every call.
TEST_F(NSFileManagerTest, UserTemporaryDirectoryIsPrivate) {
  const std::string own = "user-" + std::to_string(geteuid());
  const std::function<bool(const fs::path&)> plant[] = {
      [](const fs::path&) { return true; },
      [](const fs::path& at) {
        fs::create_directories(at.parent_path() / "mine");
        fs::permissions(at.parent_path() / "mine", fs::perms::owner_all);
        fs::create_directory_symlink("mine", at);
        return true;
      },
      [](const fs::path& at) {
        fs::create_directories(at);
        fs::permissions(at, fs::perms::all);
        return true;
      },
      [](const fs::path& at) {
        fs::create_directories(at);
        fs::permissions(at, fs::perms::owner_all);
        return chown(at.c_str(), 4242, 4242) == 0;  // only root may give a folder away
      },
      [](const fs::path& at) {
        writeFile(at, "x");
        return true;
      }};
  for (std::size_t i = 0; i < std::size(plant); ++i) {
    const fs::path base = out() / std::to_string(i);
    fs::create_directories(base);
    if (!plant[i](base / own)) {
      std::printf("case %zu skipped: cannot make a folder of another user's here\n", i);
      continue;
    }
    const std::string dir = Foundation::detail::userTemporaryDirectory(base.string());
    EXPECT_EQ(dir == (base / own).string(), i == 0) << i << ": " << dir;
    EXPECT_TRUE(dir.starts_with((base / own).string())) << i << ": " << dir;
    struct stat st {};
    ASSERT_EQ(lstat(dir.c_str(), &st), 0) << i;
    EXPECT_TRUE(S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 0777) == 0700) << i;
    EXPECT_EQ(Foundation::detail::userTemporaryDirectory(base.string()), dir) << i;
    if (i == 1) {
      EXPECT_TRUE(fs::is_empty(base / "mine")) << "nothing made through the link";
    }
  }
}

TEST_F(NSFileManagerTest, CopyKeepsBytesModeAndTime) {
  std::string data(3 * 1024 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7919 % 251);
  writeFile(out() / "src.bin", data);
  fs::permissions(out() / "src.bin", fs::perms::owner_read | fs::perms::group_read);
  const timespec times[2] = {{1000000000, 0}, {1234567890, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (out() / "src.bin").c_str(), times, 0), 0);

  NSError* error = nullptr;
  ASSERT_TRUE(
      manager_->copyItemAtPath((out() / "src.bin").string(), (out() / "dst.bin").string(), &error));
  EXPECT_EQ(readFile(out() / "dst.bin"), data);
  struct stat st {};
  ASSERT_EQ(stat((out() / "dst.bin").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0440u);
  EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
}

TEST_F(NSFileManagerTest, CopyNeverOverwrites) {
  writeFile(out() / "new.txt", "new");
  writeFile(out() / "old.txt", "old");
  fs::create_directories(out() / "folder");
  NSError* error = nullptr;
  EXPECT_FALSE(
      manager_->copyItemAtPath((out() / "new.txt").string(), (out() / "old.txt").string(), &error));
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->code(), NSFileWriteFileExistsError);
  EXPECT_EQ(error->localizedDescription(),
            "\u201Cnew.txt\u201D couldn\u2019t be copied to \u201Ctmp\u201D because an item with "
            "the same name already exists.");
  EXPECT_EQ(readFile(out() / "old.txt"), "old");
  EXPECT_FALSE(
      manager_->copyItemAtPath((out() / "new.txt").string(), (out() / "folder").string(), &error));
  EXPECT_TRUE(fs::is_empty(out() / "folder"));
}

// A picked FIFO is the relocation tests' case; here a device, and a FIFO
// inside a folder, where the copy stops and leaves what it made.
TEST_F(NSFileManagerTest, SpecialFilesAreRefusedWithoutBlocking) {
  alarm(30);
  NSError* error = nullptr;
  EXPECT_FALSE(manager_->copyItemAtPath("/dev/zero", (out() / "zero-copy").string(), &error));
  EXPECT_EQ(error->code(), NSFileReadUnknownError);
  EXPECT_FALSE(fs::exists(out() / "zero-copy"));
  fs::create_directories(out() / "box");
  ASSERT_EQ(mkfifo((out() / "box" / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(
      manager_->copyItemAtPath((out() / "box").string(), (out() / "box-copy").string(), &error));
  EXPECT_TRUE(fs::is_directory(out() / "box-copy"));
  alarm(0);
}

}  // namespace
