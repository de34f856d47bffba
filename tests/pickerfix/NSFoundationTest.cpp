// Foundation's object classes as Docmend uses them: URLs, path strings, the
// standard directories, UUIDs, values, arrays, the log and the file manager.
// Expected texts follow the platform's documented behaviour and wordings.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "platform/foundation/NSArray.h"
#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSPathUtilities.h"
#include "platform/foundation/NSUUID.h"
#include "platform/foundation/NSValue.h"
#include "tests/pickerfix/PickerHarness.h"

namespace {

namespace fs = std::filesystem;
using picker_harness::readFile;
using picker_harness::StderrCapture;
using picker_harness::writeFile;

class NSFoundation : public ::testing::Test {
 protected:
  AutoreleasePool pool_;
};

TEST_F(NSFoundation, FileURLFromPath) {
  NSURL* url = NSURL::fileURLWithPath("/tmp//reports/May Report.pdf/");
  EXPECT_TRUE(url->isFileURL());
  EXPECT_EQ(url->scheme(), "file");
  EXPECT_EQ(url->path(), "/tmp/reports/May Report.pdf");
  EXPECT_EQ(url->lastPathComponent(), "May Report.pdf");
  EXPECT_EQ(url->absoluteString(), "file:///tmp/reports/May%20Report.pdf");
  EXPECT_EQ(NSURL::fileURLWithPath("/")->path(), "/");
  EXPECT_EQ(NSURL::fileURLWithPath("/")->lastPathComponent(), "/");

  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(NSURL::fileURLWithPath("notes.txt")->path(), std::string(cwd) + "/notes.txt");
}

TEST_F(NSFoundation, URLFromString) {
  NSURL* web = NSURL::URLWithString("HTTPS://example.com/files/May%20Report.pdf?x=1#top");
  ASSERT_NE(web, nullptr);
  EXPECT_FALSE(web->isFileURL());
  EXPECT_EQ(web->scheme(), "https");
  EXPECT_EQ(web->path(), "/files/May Report.pdf");
  EXPECT_EQ(web->lastPathComponent(), "May Report.pdf");
  EXPECT_EQ(web->absoluteString(), "HTTPS://example.com/files/May%20Report.pdf?x=1#top");

  NSURL* file = NSURL::URLWithString("file:///var/a%20b.txt");
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->isFileURL());
  EXPECT_EQ(file->path(), "/var/a b.txt");

  EXPECT_EQ(NSURL::URLWithString("no scheme here"), nullptr);
  EXPECT_EQ(NSURL::URLWithString("1http://x"), nullptr);
  EXPECT_EQ(NSURL::URLWithString("mailto:someone@example.com")->path(), "someone@example.com");
}

TEST_F(NSFoundation, SecurityScopedAccessIsCountedAndBalanced) {
  NSURL* scoped = NSURL::securityScopedFileURLWithPath("/outside/a.txt");
  EXPECT_TRUE(scoped->startAccessingSecurityScopedResource());
  EXPECT_TRUE(scoped->startAccessingSecurityScopedResource());
  EXPECT_EQ(scoped->securityScopedAccessCount(), 2);
  scoped->stopAccessingSecurityScopedResource();
  scoped->stopAccessingSecurityScopedResource();
  scoped->stopAccessingSecurityScopedResource();
  EXPECT_EQ(scoped->securityScopedAccessCount(), 0);
  EXPECT_EQ(scoped->securityScopedAccessStarts(), 2);

  NSURL* plain = NSURL::fileURLWithPath("/outside/a.txt");
  EXPECT_FALSE(plain->startAccessingSecurityScopedResource());
  EXPECT_EQ(plain->securityScopedAccessStarts(), 0);
}

TEST_F(NSFoundation, PathComponents) {
  // The platform's documented examples.
  EXPECT_EQ(NSStringByAppendingPathComponent("/tmp", "scratch.tiff"), "/tmp/scratch.tiff");
  EXPECT_EQ(NSStringByAppendingPathComponent("/tmp/", "scratch.tiff"), "/tmp/scratch.tiff");
  EXPECT_EQ(NSStringByAppendingPathComponent("/", "scratch.tiff"), "/scratch.tiff");
  EXPECT_EQ(NSStringByAppendingPathComponent("", "scratch.tiff"), "scratch.tiff");
  EXPECT_EQ(NSStringLastPathComponent("/tmp/scratch.tiff"), "scratch.tiff");
  EXPECT_EQ(NSStringLastPathComponent("/tmp/scratch"), "scratch");
  EXPECT_EQ(NSStringLastPathComponent("/tmp/"), "tmp");
  EXPECT_EQ(NSStringLastPathComponent("scratch///"), "scratch");
  EXPECT_EQ(NSStringLastPathComponent("/"), "/");
}

TEST_F(NSFoundation, StandardDirectoriesFollowTheEnvironment) {
  setenv("HOME", "/home/someone/", 1);
  setenv("TMPDIR", "/var/tmp/app", 1);
  EXPECT_EQ(NSHomeDirectory(), "/home/someone");
  EXPECT_EQ(NSTemporaryDirectory(), "/var/tmp/app/");
  unsetenv("TMPDIR");
  EXPECT_EQ(NSTemporaryDirectory(), "/tmp/");
  setenv("TMPDIR", "", 1);
  EXPECT_EQ(NSTemporaryDirectory(), "/tmp/");
  unsetenv("HOME");
  EXPECT_FALSE(NSHomeDirectory().empty());
  EXPECT_EQ(NSHomeDirectory().front(), '/');
}

TEST_F(NSFoundation, UUIDsAreRandomVersionFourInUpperCase) {
  const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 100; ++i) {
    std::string text = NSUUID::UUID()->UUIDString();
    EXPECT_TRUE(std::regex_match(text, form)) << text;
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 100u);
}

TEST_F(NSFoundation, ArraysKeepOrderAndOwnTheirElements) {
  int marker = 0;
  NSMutableArray* array = NSMutableArray::newWithCapacity(3);
  EXPECT_GE(array->capacity(), 3u);
  EXPECT_EQ(array->firstObject(), nil);
  NSValue* value = NSValue::valueWithPointer(&marker);
  array->addObject(value);
  array->addObject(NSURL::fileURLWithPath("/b"));
  ASSERT_EQ(array->count(), 2u);
  EXPECT_EQ(array->firstObject(), value);
  EXPECT_EQ(NSValue::cast(array->objectAtIndex(0))->pointerValue(), &marker);
  EXPECT_EQ(NSURL::cast(array->objectAtIndex(1))->path(), "/b");
  EXPECT_EQ(NSURL::cast(array->objectAtIndex(0)), nullptr) << "a value is not a URL";
  EXPECT_NE(NSArray::cast(array), nullptr);
  EXPECT_STREQ(object_getClassName(array), "NSMutableArray");
  objc_release(array);
}

TEST_F(NSFoundation, LogWritesOneLineToStandardError) {
  StderrCapture capture;
  NSLog("[Docmend] could not copy %@: %@ (100%%, %d)", std::string("May.pdf"), "The file is gone.",
        3);
  NSLog("url %@", NSURL::fileURLWithPath("/a b"));
  auto lines = capture.lines();
  ASSERT_EQ(lines.size(), 2u);
  const std::regex prefix(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} [^\[]+\[\d+:\d+\] .*)");
  EXPECT_TRUE(std::regex_match(lines[0], prefix)) << lines[0];
  EXPECT_TRUE(lines[0].ends_with("] [Docmend] could not copy May.pdf: The file is gone. (100%, 3)"))
      << lines[0];
  EXPECT_TRUE(lines[1].ends_with("] url file:///a%20b")) << lines[1];
}

class NSFileManagerTest : public NSFoundation {
 protected:
  picker_harness::Sandbox sandbox_;
  NSFileManager* manager_ = NSFileManager::defaultManager();
  fs::path out() const { return sandbox_.tmp(); }
};

TEST_F(NSFileManagerTest, CreateDirectoryWithAndWithoutIntermediates) {
  NSError* error = nullptr;
  fs::path deep = out() / "a" / "b" / "c";
  EXPECT_FALSE(manager_->createDirectoryAtPath(deep.string(), false, nil, &error));
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->code(), NSFileNoSuchFileError);
  EXPECT_TRUE(manager_->createDirectoryAtPath(deep.string(), true, nil, &error));
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_TRUE(manager_->createDirectoryAtPath(deep.string(), true, nil, &error))
      << "existing is fine";
  EXPECT_FALSE(manager_->createDirectoryAtPath(deep.string(), false, nil, &error));
  EXPECT_EQ(error->code(), NSFileWriteFileExistsError);

  writeFile(out() / "plain", "x");
  EXPECT_FALSE(
      manager_->createDirectoryAtPath((out() / "plain" / "sub").string(), true, nil, &error));
  EXPECT_EQ(error->domain(), NSCocoaErrorDomain);
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
            "the same name "
            "already exists.");
  EXPECT_EQ(readFile(out() / "old.txt"), "old");
  EXPECT_FALSE(
      manager_->copyItemAtPath((out() / "new.txt").string(), (out() / "folder").string(), &error));
  EXPECT_TRUE(fs::is_empty(out() / "folder"));
}

TEST_F(NSFileManagerTest, CopyOfMissingSourceNamesIt) {
  NSError* error = nullptr;
  NSURL* missing = NSURL::fileURLWithPath((out() / "gone.pdf").string());
  EXPECT_FALSE(
      manager_->copyItemAtURL(missing, NSURL::fileURLWithPath((out() / "x").string()), &error));
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->code(), NSFileReadNoSuchFileError);
  EXPECT_EQ(error->underlyingPOSIXCode(), ENOENT);
  EXPECT_EQ(error->localizedDescription(),
            "The file \u201Cgone.pdf\u201D couldn\u2019t be opened because there is no such file.");
  EXPECT_FALSE(fs::exists(out() / "x"));
}

TEST_F(NSFileManagerTest, SpecialFilesAreRefusedWithoutBlocking) {
  alarm(30);
  ASSERT_EQ(mkfifo((out() / "fifo").c_str(), 0600), 0);
  NSError* error = nullptr;
  EXPECT_FALSE(
      manager_->copyItemAtPath((out() / "fifo").string(), (out() / "fifo-copy").string(), &error));
  EXPECT_EQ(error->code(), NSFileReadUnknownError);
  EXPECT_FALSE(manager_->copyItemAtPath("/dev/zero", (out() / "zero-copy").string(), &error));
  EXPECT_FALSE(fs::exists(out() / "zero-copy"));

  // Inside a folder too: the copy stops there and leaves what it made.
  fs::create_directories(out() / "box");
  ASSERT_EQ(mkfifo((out() / "box" / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(
      manager_->copyItemAtPath((out() / "box").string(), (out() / "box-copy").string(), &error));
  EXPECT_TRUE(fs::is_directory(out() / "box-copy"));
  alarm(0);
}

TEST_F(NSFileManagerTest, LinkToAFolderIsCopiedAsALink) {
  fs::create_directories(out() / "real");
  writeFile(out() / "real" / "f.txt", "f");
  fs::create_directory_symlink(out() / "real", out() / "link");
  NSError* error = nullptr;
  ASSERT_TRUE(
      manager_->copyItemAtPath((out() / "link").string(), (out() / "link-copy").string(), &error));
  EXPECT_TRUE(fs::is_symlink(out() / "link-copy"));
  EXPECT_EQ(fs::read_symlink(out() / "link-copy"), out() / "real");
}

TEST_F(NSFileManagerTest, FolderIsNotCopiedIntoItself) {
  fs::create_directories(out() / "outer" / "inner");
  NSError* error = nullptr;
  EXPECT_FALSE(manager_->copyItemAtPath((out() / "outer").string(),
                                        (out() / "outer" / "inner" / "copy").string(), &error));
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->code(), NSFileWriteUnknownError);
  EXPECT_FALSE(fs::exists(out() / "outer" / "inner" / "copy"));
  EXPECT_TRUE(manager_->copyItemAtPath((out() / "outer" / "inner").string(),
                                       (out() / "inner-copy").string(), &error));
}

TEST_F(NSFileManagerTest, NonFileURLsAreRejected) {
  NSError* error = nullptr;
  EXPECT_FALSE(manager_->copyItemAtURL(NSURL::URLWithString("https://example.com/a.pdf"),
                                       NSURL::fileURLWithPath((out() / "a.pdf").string()), &error));
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->code(), NSFileReadUnsupportedSchemeError);
}

}  // namespace
