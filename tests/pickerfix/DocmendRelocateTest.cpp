// Relocation of picked documents, with the real library loaded: what the
// delegate receives (count, order, which URLs are copies), what lands in the
// temporary directory, and the log.

#include <dlfcn.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <set>

#include "platform/foundation/NSPathUtilities.h"
#include "tests/pickerfix/PickerHarness.h"

namespace picker_harness {
namespace {

// While set, realpath of this path removes `vanishing` just before it
// resolves (or, with vanishesAfter, just after), once.
std::string resolving;
fs::path vanishing;
bool vanishesAfter = false;

}  // namespace
}  // namespace picker_harness

// Stands in for the C library's realpath in this process (Foundation's calls
// included), so that a link's target can go away at the very moment it is
// resolved.
extern "C" __attribute__((visibility("default"))) char* realpath(const char* path,
                                                                 char* resolved) noexcept {
  using namespace picker_harness;
  static auto* real = reinterpret_cast<char* (*)(const char*, char*)>(dlsym(RTLD_NEXT, "realpath"));
  if (resolving.empty() || resolving != path) return real(path, resolved);
  resolving.clear();
  if (!vanishesAfter) fs::remove(vanishing);
  char* result = real(path, resolved);
  if (vanishesAfter) fs::remove(vanishing);
  return result;
}

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
  EXPECT_EQ(fs::status(sandbox_.docmendFolder()).permissions(), fs::perms::owner_all);
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
      {out / "May\nReport\x1B\\\u2028\u2029.pdf",
       "May\\nReport\\x1B\\\\\\u2028\\u2029.pdf: The file "
       "\u201CMay\\nReport\\x1B\\\\\\u2028\\u2029.pdf\u201D"},
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

// A chain of folders under `top` whose real path is longer than PATH_MAX,
// with a file at its end that top/Deep.txt leads to through two relative
// links, each shorter than PATH_MAX: Deep.txt to the first half of the chain
// and its link "rest", "rest" to the second half and the file. Made and
// removed through descriptors, as no path to its end can be used.
class DeepTree {
 public:
  explicit DeepTree(const fs::path& top) {
    folders_.push_back(open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::string half;
    for (int i = 0; i < kLevels; ++i) {
      mkdirat(folders_.back(), name_.c_str(), 0700);
      folders_.push_back(openat(folders_.back(), name_.c_str(), O_RDONLY | O_DIRECTORY));
      half += (i % (kLevels / 2) == 0 ? "" : "/") + name_;
      if (i + 1 == kLevels / 2) symlinkat((half + "/rest").c_str(), folders_[0], "Deep.txt");
      if (i + 1 == kLevels / 2) half.clear();
    }
    symlinkat((half + "/file.txt").c_str(), folders_[kLevels / 2], "rest");
    int file = openat(folders_.back(), "file.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    EXPECT_EQ(write(file, "deep", 4), 4);
    close(file);
  }
  ~DeepTree() {
    unlinkat(folders_.back(), "file.txt", 0);
    unlinkat(folders_[kLevels / 2], "rest", 0);
    for (int i = kLevels; i > 0; --i) {
      close(folders_[i]);
      unlinkat(folders_[i - 1], name_.c_str(), AT_REMOVEDIR);
    }
    close(folders_[0]);
  }

 private:
  static constexpr int kLevels = 22;  // 22 names of 200 bytes: over 4,400 bytes
  const std::string name_ = std::string(200, 'd');
  std::vector<int> folders_;
};

// A picked link that cannot be followed at the moment of the copy, because
// its target goes away as the link is resolved (just before or just after)
// or because the target's real path is longer than PATH_MAX: one log line,
// the link passed on as it is, and nothing (no link either) in the copy
// folder.
TEST_F(DocmendRelocate, PickedLinksThatCannotBeResolvedAreFailures) {
  const fs::path out = sandbox_.outside();
  DeepTree deep(out);
  ASSERT_EQ(readFile(out / "Deep.txt"), "deep") << "the kernel follows both links";
  const std::string noSuchFile = "couldn\u2019t be opened because there is no such file.";
  const struct {
    const char* name;
    bool vanishes, after;
    std::string log;
  } cases[] = {{"Before.txt", true, false, "The file \u201CBefore.txt\u201D " + noSuchFile},
               {"After.txt", true, true, "The file \u201Ctarget.txt\u201D " + noSuchFile},
               {"Deep.txt", false, false,
                "The file \u201CDeep.txt\u201D couldn\u2019t be opened because its real path "
                "couldn\u2019t be resolved."}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path link = out / c.name;
    if (c.vanishes) {
      writeFile(out / "target.txt", "data");
      fs::create_symlink("target.txt", link);
      resolving = link.string(), vanishing = out / "target.txt", vanishesAfter = c.after;
    }
    auto received = pickAndReceive({fileURL(link)});
    EXPECT_TRUE(resolving.empty()) << "the link was resolved";
    EXPECT_EQ(received, std::vector<std::string>{link.string()});
    ASSERT_EQ(log_.size(), 1u);
    EXPECT_TRUE(log_[0].ends_with("[Docmend] could not copy " + std::string(c.name) + ": " + c.log))
        << log_[0];
  }
  EXPECT_EQ(sandbox_.relocationFolders().size(), std::size(cases));
  for (const auto& folder : sandbox_.relocationFolders()) EXPECT_TRUE(fs::is_empty(folder));
}

// In a temporary directory that others share, a "Docmend" that another user
// planted there (a link to a folder they let everyone write to, a folder of
// theirs) or a file of that name is not used: nothing is written into it or
// through it, and each file of the pick is passed on with one log line.
TEST_F(DocmendRelocate, CopyFolderThatIsNotTheUsersOwnIsNotUsed) {
  const fs::path shared = sandbox_.tmp(), theirs = sandbox_.root() / "theirs";
  fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
  fs::create_directories(theirs);
  fs::permissions(theirs, fs::perms::all);
  const std::function<bool(const fs::path&)> plant[] = {
      [&](const fs::path& at) {
        fs::create_directory_symlink(theirs, at);
        return true;
      },
      [](const fs::path& at) {
        fs::create_directories(at);
        fs::permissions(at, fs::perms::all);
        return chown(at.c_str(), 4242, 4242) == 0;  // only root may give a folder away
      },
      [](const fs::path& at) {
        writeFile(at, "");
        return true;
      }};
  for (std::size_t i = 0; i < std::size(plant); ++i) {
    SCOPED_TRACE(i);
    fs::remove_all(sandbox_.docmendFolder());
    if (!plant[i](sandbox_.docmendFolder())) {
      std::printf("case %zu skipped: cannot make a folder of another user's here\n", i);
      continue;
    }
    NSURL* a = outsideFile("a.txt", "A");
    NSURL* b = outsideFile("b.txt", "B");
    auto received = pickAndReceive({a, b});
    EXPECT_EQ(received, (std::vector<std::string>{a->path(), b->path()}));
    ASSERT_EQ(log_.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
      EXPECT_TRUE(log_[k].ends_with(std::string("could not copy ") + "ab"[k] +
                                    ".txt: The folder \u201CDocmend\u201D in the temporary "
                                    "directory isn\u2019t a folder of this user\u2019s own."))
          << log_[k];
    }
    EXPECT_EQ(a->securityScopedAccessCount(), 0);
    EXPECT_TRUE(fs::is_empty(theirs));
    EXPECT_TRUE(fs::is_symlink(sandbox_.docmendFolder()) || fs::is_empty(sandbox_.docmendFolder()));
  }
}

// Without $TMPDIR the copies land in the user's own temporary directory
// (whose privacy Foundation's tests check).
TEST_F(DocmendRelocate, WithoutTMPDIRCopiesLandInTheUsersOwnTemporaryDirectory) {
  unsetenv("TMPDIR");
  const fs::path copies = fs::path(NSTemporaryDirectory()) / kTDMCopyFolder;
  auto received = pickAndReceive({outsideFile("May.pdf", "may")});
  ASSERT_EQ(received.size(), 1u);
  const fs::path copy = received[0];
  EXPECT_EQ(copy.parent_path().parent_path(), copies);
  EXPECT_EQ(readFile(copy), "may");
  EXPECT_TRUE(log_.empty());
  if (copy.parent_path().parent_path() == copies) fs::remove_all(copy.parent_path());
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
