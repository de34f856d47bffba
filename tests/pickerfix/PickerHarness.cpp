#include "tests/pickerfix/PickerHarness.h"

#include <cstdlib>
#include <regex>

namespace picker_harness {

bool isDocmendCode(IMP imp) {
  Dl_info info{};
  if (imp == nullptr || dladdr(reinterpret_cast<void*>(imp), &info) == 0 ||
      info.dli_fname == nullptr) {
    return false;
  }
  return fs::equivalent(info.dli_fname, DOCMEND_PATH);
}

StderrCapture::StderrCapture() {
  char name[] = "/tmp/docmend-stderr.XXXXXX";
  int fd = mkstemp(name);
  EXPECT_GE(fd, 0);
  path_ = name;
  saved_ = dup(STDERR_FILENO);
  dup2(fd, STDERR_FILENO);
  close(fd);
}

std::vector<std::string> StderrCapture::lines() {
  if (saved_ >= 0) {
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    saved_ = -1;
    std::ifstream in(path_);
    for (std::string line; std::getline(in, line);) lines_.push_back(line);
    unlink(path_.c_str());
  }
  return lines_;
}

Sandbox::Sandbox() {
  char name[] = "/tmp/docmend-test.XXXXXX";
  EXPECT_NE(mkdtemp(name), nullptr);
  root_ = name;
  for (const fs::path& folder : {home(), tmp(), outside()}) fs::create_directories(folder);
  setenv("HOME", home().c_str(), 1);
  setenv("TMPDIR", tmp().c_str(), 1);
}

Sandbox::~Sandbox() {
  // Give every folder back its owner's permissions so that all can go.
  std::error_code ignored;
  fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (auto it = fs::recursive_directory_iterator(root_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::remove_all(root_, ignored);
}

std::vector<fs::path> Sandbox::relocationFolders() const {
  std::vector<fs::path> folders;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(docmendFolder(), ignored))
    folders.push_back(entry.path());
  return folders;
}

void writeFile(const fs::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void DocmendTest::SetUp() {
  alarm(60);  // a copy that blocks (on a FIFO, say) ends the test instead of hanging it
  pool_ = objc_autoreleasePoolPush();
  ASSERT_NE(dlopen(DOCMEND_PATH, RTLD_NOW | RTLD_LOCAL), nullptr) << dlerror();
}

void DocmendTest::TearDown() {
  objc_autoreleasePoolPop(pool_);
  for (id obj : owned_) objc_release(obj);
  alarm(0);
}

NSURL* DocmendTest::outsideFile(const std::string& name, const std::string& content) {
  writeFile(sandbox_.outside() / name, content);
  return NSURL::securityScopedFileURLWithPath((sandbox_.outside() / name).string());
}

bool DocmendTest::isCopy(const std::string& path, const std::string& name) const {
  static const std::regex uuid(
      "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  fs::path p(path);
  return p.parent_path().parent_path() == sandbox_.docmendFolder() &&
         std::regex_match(p.parent_path().filename().string(), uuid) &&
         (name.empty() || p.filename() == name);
}

}  // namespace picker_harness
