// Relocation of picked documents, with the real library loaded: what the
// delegate receives (count, order, which URLs are copies), what lands in the
// temporary directory, and the log.

#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "tests/pickerfix/PickerHarness.h"

namespace picker_harness {
namespace {

class DocmendRelocate : public DocmendTest {
 protected:
  void SetUp() override {
    DocmendTest::SetUp();
    picker_ = keep(newPicker(UIDocumentPickerModeOpen));
    Class recording = defineDelegate("RecordingDelegate", Nil, 0, kMany);
    setDelegate(picker_, keep(class_createInstance(recording, 0)));
  }

  // Picks `urls` and returns what the delegate received; the log lines go to log_.
  std::vector<std::string> pickAndReceive(const std::vector<NSURL*>& urls) {
    StderrCapture capture;
    calls.clear();
    pick(picker_, urls);
    log_ = capture.lines();
    EXPECT_EQ(calls.size(), 1u);
    return calls.empty() ? std::vector<std::string>{} : calls[0].urls;
  }

  static NSURL* fileURL(const fs::path& path) { return NSURL::fileURLWithPath(path.string()); }

  std::vector<std::string> log_;
  id picker_ = nil;
};

// Only file URLs outside the home directory are copied, with security-scoped
// access started and ended in the same call; the rest pass on as they are,
// with nothing created. A folder beside the home directory whose name starts
// with the home directory's is outside it.
TEST_F(DocmendRelocate, OnlyFilesOutsideTheHomeDirectoryAreCopied) {
  EXPECT_TRUE(pickAndReceive({}).empty());
  const fs::path deep = sandbox_.home() / "Documents" / "Deep.txt";
  fs::create_directories(deep.parent_path());
  writeFile(deep, "d");
  NSURL* inside = NSURL::securityScopedFileURLWithPath(deep.string());
  auto received = pickAndReceive(
      {NSURL::URLWithString("https://example.com/May.pdf"), inside, fileURL(sandbox_.home())});
  EXPECT_EQ(received, (std::vector<std::string>{"https://example.com/May.pdf", deep.string(),
                                                sandbox_.home().string()}));
  EXPECT_EQ(inside->securityScopedAccessStarts(), 0);
  EXPECT_FALSE(fs::exists(sandbox_.docmendFolder()));
  EXPECT_TRUE(log_.empty());

  const fs::path beside = sandbox_.home().string() + "-shared/May.pdf";
  fs::create_directories(beside.parent_path());
  writeFile(beside, "report");
  NSURL* outside = NSURL::securityScopedFileURLWithPath(beside.string());
  received = pickAndReceive({outside});
  ASSERT_EQ(received.size(), 1u);
  EXPECT_TRUE(isCopy(received[0], "May.pdf")) << received[0];
  EXPECT_EQ(readFile(received[0]), "report");
  EXPECT_EQ(readFile(beside), "report");
  EXPECT_EQ(outside->securityScopedAccessStarts(), 1);
  EXPECT_EQ(outside->securityScopedAccessCount(), 0) << "access ended in the same call";
  EXPECT_TRUE(log_.empty());
}

// A thousand files, then the first again and one of the same name from
// another folder: each arrives in order, as a copy in a folder of its own.
TEST_F(DocmendRelocate, EveryPickedFileArrivesInOrderAsACopyOfItsOwn) {
  std::vector<NSURL*> picked;
  std::vector<std::string> contents;
  for (int i = 0; i < 1000; ++i) {
    contents.push_back("content " + std::to_string(i));
    picked.push_back(outsideFile(std::to_string(i) + ".txt", contents.back()));
  }
  fs::create_directories(sandbox_.outside() / "two");
  writeFile(sandbox_.outside() / "two" / "0.txt", "other");
  picked.insert(picked.end(), {picked[0], fileURL(sandbox_.outside() / "two" / "0.txt")});
  contents.insert(contents.end(), {contents[0], "other"});
  auto received = pickAndReceive(picked);
  ASSERT_EQ(received.size(), picked.size());
  std::set<fs::path> folders;
  for (std::size_t i = 0; i < picked.size(); ++i) {
    ASSERT_TRUE(isCopy(received[i], picked[i]->lastPathComponent())) << i << ": " << received[i];
    EXPECT_EQ(readFile(received[i]), contents[i]) << i;
    folders.insert(fs::path(received[i]).parent_path());
  }
  EXPECT_EQ(folders.size(), picked.size());
  EXPECT_EQ(sandbox_.relocationFolders().size(), picked.size());
  EXPECT_TRUE(log_.empty());
}

// A picked link stands for what it points to, through a relative or an
// absolute link, to a file or a folder; links inside a copied folder are
// copied as links, as they are, also when they dangle or lead outside it.
TEST_F(DocmendRelocate, PickedLinksAreFollowedAndLinksInAFolderKept) {
  const fs::path out = sandbox_.outside(), album = out / "Album";
  writeFile(out / "real.txt", "data");
  fs::create_directories(album / "Inner");
  writeFile(album / "cover.txt", "cover");
  writeFile(album / "Inner" / "track.txt", "track");
  fs::create_symlink("cover.txt", album / "link-to-cover");
  fs::create_symlink(out, album / "link-to-outside");
  fs::create_symlink("/nonexistent", album / "dangling");
  fs::create_symlink("real.txt", out / "Relative.txt");
  fs::create_symlink(out / "real.txt", out / "Absolute.txt");
  fs::create_symlink("Album", out / "AlbumLink");
  const std::vector<std::string> names = {"Relative.txt", "Absolute.txt", "AlbumLink"};
  auto received =
      pickAndReceive({fileURL(out / names[0]), fileURL(out / names[1]), fileURL(out / names[2])});
  ASSERT_EQ(received.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(isCopy(received[i], names[i])) << received[i];
    EXPECT_FALSE(fs::is_symlink(received[i])) << received[i];
  }
  EXPECT_EQ(readFile(received[0]), "data");
  EXPECT_EQ(readFile(received[1]), "data");
  const fs::path copy = received[2];
  EXPECT_EQ(readFile(copy / "cover.txt"), "cover");
  EXPECT_EQ(readFile(copy / "Inner" / "track.txt"), "track");
  ASSERT_TRUE(fs::is_symlink(copy / "link-to-cover"));
  EXPECT_EQ(fs::read_symlink(copy / "link-to-cover"), "cover.txt");
  EXPECT_EQ(fs::read_symlink(copy / "link-to-outside"), out);
  EXPECT_EQ(fs::read_symlink(copy / "dangling"), "/nonexistent");
  EXPECT_TRUE(log_.empty());
}

// What cannot be copied passes on as it is, after one log line that names it
// with control characters escaped, and leaves its copy folder empty: a
// dangling link, a loop of links, a missing file, a FIFO (not waited on), and
// the folder that holds the temporary directory (not copied into itself).
TEST_F(DocmendRelocate, WhatCannotBeCopiedIsPassedOnWithOneLogLineEach) {
  const fs::path out = sandbox_.outside();
  fs::create_symlink("/nonexistent/target.pdf", out / "Dangling.pdf");
  fs::create_symlink("Loop-b", out / "Loop-a");
  fs::create_symlink("Loop-a", out / "Loop-b");
  ASSERT_EQ(mkfifo((out / "pipe").c_str(), 0644), 0);
  const std::pair<fs::path, std::string> failing[] = {
      {out / "Dangling.pdf",
       "Dangling.pdf: The file \u201CDangling.pdf\u201D couldn\u2019t be opened because there "
       "is no such file."},
      {out / "Loop-a", "Loop-a: "},
      {out / "May\nReport\x1B\\.pdf",
       "May\\nReport\\x1B\\\\.pdf: The file \u201CMay\\nReport\\x1B\\\\.pdf\u201D"},
      {out / "pipe",
       "pipe: \u201Cpipe\u201D couldn\u2019t be copied because it isn\u2019t a regular file, "
       "folder or symbolic link."},
      {sandbox_.root(), sandbox_.root().filename().string() + ": "}};
  std::vector<NSURL*> picked{outsideFile("good.txt", "g")};
  for (const auto& item : failing) picked.push_back(fileURL(item.first));
  auto received = pickAndReceive(picked);
  ASSERT_EQ(received.size(), picked.size());
  EXPECT_TRUE(isCopy(received[0], "good.txt")) << received[0];
  ASSERT_EQ(log_.size(), std::size(failing));
  for (std::size_t i = 0; i < std::size(failing); ++i) {
    EXPECT_EQ(received[i + 1], failing[i].first.string());
    EXPECT_NE(log_[i].find("] [Docmend] could not copy " + failing[i].second), std::string::npos)
        << log_[i];
  }
  std::size_t filled = 0;
  for (const auto& folder : sandbox_.relocationFolders()) filled += fs::is_empty(folder) ? 0 : 1;
  EXPECT_EQ(filled, 1u) << "only the good file's copy folder holds anything";
}

// Makes files with mode 0000 unreadable for this process even as root, by
// dropping the capabilities that override file permissions from the
// effective set (this test runs in a process of its own).
bool loseFileAccessOverride() {
  if (geteuid() != 0) return true;
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
    data[cap / 32].effective &= ~(1u << (cap % 32));
  return syscall(SYS_capset, &header, data) == 0;
}

// An unreadable file among readable ones is passed on with one log line and
// its access ended; a read-only folder is copied so that the app can delete
// the copy.
TEST_F(DocmendRelocate, UnreadableFileIsPassedOnAndReadOnlyFolderCopiedDeletable) {
  NSURL* a = outsideFile("a.txt", "A");
  NSURL* b = outsideFile("b.txt", "B");
  const fs::path locked = sandbox_.outside() / "Locked";
  fs::create_directories(locked / "Inner");
  writeFile(locked / "Inner" / "file.txt", "x");
  fs::permissions(sandbox_.outside() / "b.txt", fs::perms::none);
  for (const fs::path& folder : {locked / "Inner", locked})
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  if (!loseFileAccessOverride()) GTEST_SKIP() << "cannot drop the permission override";
  if (int probe = open((sandbox_.outside() / "b.txt").c_str(), O_RDONLY); probe >= 0) {
    close(probe);
    GTEST_SKIP() << "a mode 0000 file is still readable by this process";
  }
  auto received = pickAndReceive({a, b, fileURL(locked)});
  ASSERT_EQ(received.size(), 3u);
  EXPECT_TRUE(isCopy(received[0], "a.txt"));
  EXPECT_EQ(readFile(received[0]), "A");
  EXPECT_EQ(received[1], (sandbox_.outside() / "b.txt").string());
  ASSERT_TRUE(isCopy(received[2], "Locked"));
  EXPECT_EQ(readFile(fs::path(received[2]) / "Inner" / "file.txt"), "x");
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_TRUE(log_[0].ends_with(
      "[Docmend] could not copy b.txt: The file \u201Cb.txt\u201D couldn\u2019t be opened "
      "because you don\u2019t have permission to view it."))
      << log_[0];
  EXPECT_EQ(b->securityScopedAccessCount(), 0) << "access ended although the copy failed";
  EXPECT_EQ(sandbox_.relocationFolders().size(), 3u) << "the failed copy's folder stays";
  std::error_code error;
  fs::remove_all(received[2], error);
  EXPECT_FALSE(error) << error.message();
  EXPECT_FALSE(fs::exists(received[2]));
}

TEST_F(DocmendRelocate, FullDiskPassesTheFailedFilesOnAndOverwritesNothing) {
  fs::path small = sandbox_.root() / "small-tmp";
  fs::create_directories(small);
  if (unshare(CLONE_NEWNS) != 0 ||
      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", small.c_str(), "tmpfs", 0, "size=1m") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here";
  }
  setenv("TMPDIR", small.c_str(), 1);
  const std::string big(600 * 1024, 'x');
  const std::vector<std::string> names = {"one.bin", "two.bin", "three.bin"};
  auto received = pickAndReceive(
      {outsideFile(names[0], big), outsideFile(names[1], big), outsideFile(names[2], big)});
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(fs::path(received[0]).parent_path().parent_path(), small / kTDMCopyFolder);
  EXPECT_EQ(readFile(received[0]), big);
  ASSERT_EQ(log_.size(), 2u);
  for (std::size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(received[i], (sandbox_.outside() / names[i]).string());
    const std::string& line = log_[i - 1];
    EXPECT_NE(line.find("[Docmend] could not copy " + names[i] + ": \u201C" + names[i] +
                        "\u201D couldn\u2019t be copied to \u201C"),
              std::string::npos)
        << line;
    EXPECT_TRUE(line.ends_with("\u201D because there isn\u2019t enough space.")) << line;
  }
  for (const auto& name : names) EXPECT_EQ(readFile(sandbox_.outside() / name), big) << name;
  umount2(small.c_str(), MNT_DETACH);
}

}  // namespace
}  // namespace picker_harness
