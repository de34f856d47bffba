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
    delegateClass_ = defineDelegate("RecordingDelegate", Nil, 0, kMany);
    picker_ = keep(newPicker(UIDocumentPickerModeOpen));
    setDelegate(picker_, keep(class_createInstance(delegateClass_, 0)));
  }

  // Picks `urls` and returns what the delegate received, with the log lines.
  std::vector<std::string> pickAndReceive(const std::vector<NSURL*>& urls) {
    StderrCapture capture;
    calls.clear();
    pick(picker_, urls);
    log_ = capture.lines();
    EXPECT_EQ(calls.size(), 1u);
    return calls.empty() ? std::vector<std::string>{} : calls[0].urls;
  }

  // YES when `path` is a copy made by this library: a file named `name` in a
  // fresh UUID folder under $TMPDIR/Docmend.
  bool isRelocated(const std::string& path, const std::string& name) const {
    static const std::regex uuid(
        "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    fs::path p(path);
    return p.parent_path().parent_path() == sandbox_.docmendFolder() &&
           std::regex_match(p.parent_path().filename().string(), uuid) && p.filename() == name;
  }

  std::vector<std::string> log_;
  Class delegateClass_ = Nil;
  id picker_ = nil;
};

TEST_F(DocmendRelocate, NonFileURLPassesUnchangedWithNothingCreated) {
  auto received = pickAndReceive({NSURL::URLWithString("https://example.com/files/May.pdf")});
  EXPECT_EQ(received, std::vector<std::string>{"https://example.com/files/May.pdf"});
  EXPECT_FALSE(fs::exists(sandbox_.docmendFolder()));
  EXPECT_TRUE(log_.empty());
}

TEST_F(DocmendRelocate, FileOutsideHomeIsCopiedWithBalancedAccess) {
  NSURL* picked = outsideFile("May.pdf", "report");
  auto received = pickAndReceive({picked});
  ASSERT_EQ(received.size(), 1u);
  EXPECT_TRUE(isRelocated(received[0], "May.pdf")) << received[0];
  EXPECT_EQ(readFile(received[0]), "report");
  EXPECT_EQ(readFile(sandbox_.outside() / "May.pdf"), "report");
  EXPECT_EQ(picked->securityScopedAccessStarts(), 1);
  EXPECT_EQ(picked->securityScopedAccessCount(), 0) << "access ended in the same call";
  EXPECT_TRUE(log_.empty());
}

TEST_F(DocmendRelocate, InsideHomePassesUnchangedWithoutAccessButASiblingIsCopied) {
  fs::create_directories(sandbox_.home() / "Documents");
  writeFile(sandbox_.home() / "Documents" / "Deep.txt", "d");
  fs::path sibling = sandbox_.home().string() + "-shared";
  fs::create_directories(sibling);
  writeFile(sibling / "Plan.txt", "plan");
  NSURL* deep =
      NSURL::securityScopedFileURLWithPath((sandbox_.home() / "Documents" / "Deep.txt").string());
  auto received = pickAndReceive({deep, NSURL::fileURLWithPath(sandbox_.home().string()),
                                  NSURL::fileURLWithPath((sibling / "Plan.txt").string())});
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0], (sandbox_.home() / "Documents" / "Deep.txt").string());
  EXPECT_EQ(received[1], sandbox_.home().string());
  EXPECT_EQ(deep->securityScopedAccessStarts(), 0);
  EXPECT_TRUE(isRelocated(received[2], "Plan.txt")) << received[2];
  EXPECT_EQ(readFile(received[2]), "plan");
}

TEST_F(DocmendRelocate, SameFileTwiceAndSameNameFromTwoFoldersGiveSeparateCopies) {
  fs::create_directories(sandbox_.outside() / "two");
  NSURL* first = outsideFile("Report.txt", "first");
  writeFile(sandbox_.outside() / "two" / "Report.txt", "second");
  auto received = pickAndReceive(
      {first, first, NSURL::fileURLWithPath((sandbox_.outside() / "two" / "Report.txt").string())});
  ASSERT_EQ(received.size(), 3u);
  std::set<fs::path> folders;
  for (const auto& path : received) {
    EXPECT_TRUE(isRelocated(path, "Report.txt")) << path;
    folders.insert(fs::path(path).parent_path());
  }
  EXPECT_EQ(folders.size(), 3u);
  EXPECT_EQ(readFile(received[1]), "first");
  EXPECT_EQ(readFile(received[2]), "second");
}

TEST_F(DocmendRelocate, FolderIsCopiedWithItsContentsAndLinksAsLinks) {
  fs::path album = sandbox_.outside() / "Album";
  fs::create_directories(album / "Inner");
  writeFile(album / "cover.txt", "cover");
  writeFile(album / "Inner" / "track.txt", "track");
  fs::create_symlink("cover.txt", album / "link-to-cover");
  fs::create_symlink(sandbox_.outside(), album / "link-to-outside");
  fs::create_symlink("/nonexistent", album / "dangling");
  auto received = pickAndReceive({NSURL::fileURLWithPath(album.string())});
  ASSERT_EQ(received.size(), 1u);
  ASSERT_TRUE(isRelocated(received[0], "Album")) << received[0];
  fs::path copy = received[0];
  EXPECT_EQ(readFile(copy / "cover.txt"), "cover");
  EXPECT_EQ(readFile(copy / "Inner" / "track.txt"), "track");
  ASSERT_TRUE(fs::is_symlink(copy / "link-to-cover"));
  EXPECT_EQ(fs::read_symlink(copy / "link-to-cover"), "cover.txt");
  EXPECT_EQ(fs::read_symlink(copy / "link-to-outside"), sandbox_.outside());
  EXPECT_EQ(fs::read_symlink(copy / "dangling"), "/nonexistent");
  EXPECT_TRUE(log_.empty());
}

TEST_F(DocmendRelocate, PickedLinksAreCopiedAsWhatTheyPointTo) {
  fs::path out = sandbox_.outside();
  writeFile(out / "real.txt", "data");
  fs::create_directories(out / "Album");
  writeFile(out / "Album" / "song.txt", "song");
  fs::create_symlink("real.txt", out / "Relative.txt");
  fs::create_symlink(out / "real.txt", out / "Absolute.txt");
  fs::create_symlink("Album", out / "AlbumLink");
  auto received = pickAndReceive({NSURL::fileURLWithPath((out / "Relative.txt").string()),
                                  NSURL::fileURLWithPath((out / "Absolute.txt").string()),
                                  NSURL::fileURLWithPath((out / "AlbumLink").string())});
  ASSERT_EQ(received.size(), 3u);
  for (const char* name : {"Relative.txt", "Absolute.txt"}) {
    fs::path copy = received[name[0] == 'R' ? 0 : 1];
    EXPECT_TRUE(isRelocated(copy, name)) << copy;
    EXPECT_FALSE(fs::is_symlink(copy)) << name;
    EXPECT_EQ(readFile(copy), "data") << name;
  }
  EXPECT_TRUE(isRelocated(received[2], "AlbumLink"));
  EXPECT_FALSE(fs::is_symlink(received[2]));
  EXPECT_EQ(readFile(fs::path(received[2]) / "song.txt"), "song");
  EXPECT_TRUE(log_.empty());
}

TEST_F(DocmendRelocate, LinksThatCannotBeFollowedAreLoggedAndPassedOn) {
  fs::path out = sandbox_.outside();
  fs::create_symlink("/nonexistent/target.pdf", out / "Dangling.pdf");
  fs::create_symlink("Loop-b", out / "Loop-a");
  fs::create_symlink("Loop-a", out / "Loop-b");
  NSURL* good = outsideFile("good.txt", "g");
  auto received = pickAndReceive({NSURL::fileURLWithPath((out / "Dangling.pdf").string()), good,
                                  NSURL::fileURLWithPath((out / "Loop-a").string())});
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0], (out / "Dangling.pdf").string());
  EXPECT_TRUE(isRelocated(received[1], "good.txt"));
  EXPECT_EQ(received[2], (out / "Loop-a").string());
  ASSERT_EQ(log_.size(), 2u);
  EXPECT_TRUE(
      log_[0].ends_with("] [Docmend] could not copy Dangling.pdf: The file "
                        "\u201CDangling.pdf\u201D couldn\u2019t be opened because "
                        "there is no such file."))
      << log_[0];
  EXPECT_NE(log_[1].find("] [Docmend] could not copy Loop-a: "), std::string::npos) << log_[1];
}

TEST_F(DocmendRelocate, ControlCharactersInNamesAreEscapedInTheLog) {
  std::string name = "May\nReport\x1B\\.pdf";
  auto received = pickAndReceive({NSURL::fileURLWithPath((sandbox_.outside() / name).string())});
  EXPECT_EQ(received, std::vector<std::string>{(sandbox_.outside() / name).string()});
  ASSERT_EQ(log_.size(), 1u) << "one line";
  EXPECT_NE(log_[0].find("could not copy May\\nReport\\x1B\\\\.pdf: The file "
                         "\u201CMay\\nReport\\x1B\\\\.pdf\u201D"),
            std::string::npos)
      << log_[0];
}

TEST_F(DocmendRelocate, FIFOIsNotCopiedNorWaitedOn) {
  fs::path fifo = sandbox_.outside() / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  auto received = pickAndReceive({NSURL::fileURLWithPath(fifo.string())});
  EXPECT_EQ(received, std::vector<std::string>{fifo.string()});
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_NE(
      log_[0].find(
          "[Docmend] could not copy pipe: \u201Cpipe\u201D couldn\u2019t be copied because it "
          "isn\u2019t a regular file, folder or symbolic link."),
      std::string::npos)
      << log_[0];
}

TEST_F(DocmendRelocate, FolderHoldingTheTemporaryDirectoryIsNotCopiedIntoItself) {
  auto received = pickAndReceive({NSURL::fileURLWithPath(sandbox_.root().string())});
  EXPECT_EQ(received, std::vector<std::string>{sandbox_.root().string()});
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_NE(log_[0].find("[Docmend] could not copy " + sandbox_.root().filename().string() + ": "),
            std::string::npos)
      << log_[0];
  ASSERT_EQ(sandbox_.relocationFolders().size(), 1u);
  EXPECT_TRUE(fs::is_empty(sandbox_.relocationFolders()[0]));
}

TEST_F(DocmendRelocate, EmptyPickGivesAnEmptyArray) {
  auto received = pickAndReceive({});
  EXPECT_TRUE(received.empty());
  EXPECT_FALSE(fs::exists(sandbox_.docmendFolder()));
  EXPECT_TRUE(log_.empty());
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

TEST_F(DocmendRelocate, UnreadableSecondOfThreeIsPassedOnAndLoggedOnce) {
  NSURL* a = outsideFile("a.txt", "A");
  NSURL* b = outsideFile("b.txt", "B");
  NSURL* c = outsideFile("c.txt", "C");
  fs::permissions(sandbox_.outside() / "b.txt", fs::perms::none);
  if (!loseFileAccessOverride()) GTEST_SKIP() << "cannot drop the permission override";
  if (int probe = open((sandbox_.outside() / "b.txt").c_str(), O_RDONLY); probe >= 0) {
    close(probe);
    GTEST_SKIP() << "a mode 0000 file is still readable by this process";
  }
  auto received = pickAndReceive({a, b, c});
  ASSERT_EQ(received.size(), 3u);
  EXPECT_TRUE(isRelocated(received[0], "a.txt"));
  EXPECT_EQ(received[1], (sandbox_.outside() / "b.txt").string());
  EXPECT_TRUE(isRelocated(received[2], "c.txt"));
  EXPECT_EQ(readFile(received[0]), "A");
  EXPECT_EQ(readFile(received[2]), "C");
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_TRUE(log_[0].ends_with(
      "[Docmend] could not copy b.txt: The file \u201Cb.txt\u201D couldn\u2019t be opened "
      "because you don\u2019t have permission to view it."))
      << log_[0];
  EXPECT_EQ(b->securityScopedAccessCount(), 0) << "access ended although the copy failed";
  EXPECT_EQ(sandbox_.relocationFolders().size(), 3u) << "the failed copy's folder stays";
}

TEST_F(DocmendRelocate, ReadOnlyFolderCopyCanBeDeletedByTheApp) {
  fs::path locked = sandbox_.outside() / "Locked";
  fs::create_directories(locked / "Inner");
  writeFile(locked / "Inner" / "file.txt", "x");
  fs::permissions(locked / "Inner", fs::perms::owner_read | fs::perms::owner_exec);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  if (!loseFileAccessOverride()) GTEST_SKIP() << "cannot drop the permission override";
  auto received = pickAndReceive({NSURL::fileURLWithPath(locked.string())});
  ASSERT_EQ(received.size(), 1u);
  ASSERT_TRUE(isRelocated(received[0], "Locked"));
  EXPECT_EQ(readFile(fs::path(received[0]) / "Inner" / "file.txt"), "x");
  std::error_code error;
  fs::remove_all(received[0], error);
  EXPECT_FALSE(error) << error.message();
  EXPECT_FALSE(fs::exists(received[0]));
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
  std::vector<NSURL*> picked = {outsideFile("one.bin", big), outsideFile("two.bin", big),
                                outsideFile("three.bin", big)};
  auto received = pickAndReceive(picked);
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(fs::path(received[0]).parent_path().parent_path(), small / kTDMCopyFolder);
  EXPECT_EQ(readFile(received[0]), big);
  EXPECT_EQ(received[1], (sandbox_.outside() / "two.bin").string());
  EXPECT_EQ(received[2], (sandbox_.outside() / "three.bin").string());
  ASSERT_EQ(log_.size(), 2u);
  EXPECT_NE(log_[0].find("[Docmend] could not copy two.bin: \u201Ctwo.bin\u201D couldn\u2019t be "
                         "copied to \u201C"),
            std::string::npos)
      << log_[0];
  EXPECT_NE(log_[1].find("[Docmend] could not copy three.bin: "), std::string::npos) << log_[1];
  for (const auto& line : log_) {
    EXPECT_TRUE(line.ends_with("\u201D because there isn\u2019t enough space.")) << line;
  }
  for (const char* name : {"one.bin", "two.bin", "three.bin"}) {
    EXPECT_EQ(readFile(sandbox_.outside() / name), big) << "sources untouched";
  }
  umount2(small.c_str(), MNT_DETACH);
}

TEST_F(DocmendRelocate, ThousandFilesArriveInOrderEachCopiedOnce) {
  std::vector<NSURL*> picked;
  for (int i = 0; i < 1000; ++i) {
    picked.push_back(
        outsideFile("file-" + std::to_string(i) + ".txt", "content " + std::to_string(i)));
  }
  auto received = pickAndReceive(picked);
  ASSERT_EQ(received.size(), 1000u);
  std::set<fs::path> folders;
  for (int i = 0; i < 1000; ++i) {
    std::string name = "file-" + std::to_string(i) + ".txt";
    ASSERT_TRUE(isRelocated(received[i], name)) << i << ": " << received[i];
    EXPECT_EQ(readFile(received[i]), "content " + std::to_string(i));
    folders.insert(fs::path(received[i]).parent_path());
  }
  EXPECT_EQ(folders.size(), 1000u);
  EXPECT_EQ(sandbox_.relocationFolders().size(), 1000u);
  EXPECT_TRUE(log_.empty());
}

}  // namespace
}  // namespace picker_harness
