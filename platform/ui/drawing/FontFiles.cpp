// How this process finds and loads its fonts: fontconfig's configuration
// with one rule added, and one read-only mapping of each font file, shared by
// the two libraries that read it.
//
// Pango shapes text with HarfBuzz, which maps a font file through
// hb_blob_create_from_file; Cairo draws the glyphs with FreeType, which maps
// the same file again through FT_New_Face. Each mapping of a file counts
// once more towards the process's resident memory (about 0.2 MB a face for
// our text fonts, five of them in a lock-screen picture). The two functions
// below take the place of the libraries' own for this process: both hand out
// the same mapping, which is released when its last user (a HarfBuzz blob or
// a FreeType face) goes. Whatever cannot be mapped (not a regular file, an
// empty one, an error) goes to the library's own function unchanged.
//
// The executable exports both names (see CMakeLists.txt), which is what makes
// the libraries call these. Should a later library version load fonts by
// another function, fonts are simply mapped twice again.

#include <dlfcn.h>
#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include <hb.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>
#include FT_FREETYPE_H

#include "platform/ui/drawing/PangoFonts.h"

namespace SwiftUI::Drawing::detail {

namespace {

struct Mapping {
  std::string path;
  void* data = nullptr;
  std::size_t size = 0;
  int users = 0;
};

// The mappings in use, guarded by `registryLock`. Few: one a font file the
// process draws with.
constinit std::mutex registryLock;
constinit std::vector<Mapping*>* registry = nullptr;

// The mapping of `path` with one more user, or null when the file cannot be
// mapped.
Mapping* acquire(const char* path) {
  const std::lock_guard lock(registryLock);
  if (registry == nullptr) registry = new std::vector<Mapping*>();
  for (Mapping* m : *registry) {
    if (m->path == path) {
      ++m->users;
      return m;
    }
  }
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  void* data = MAP_FAILED;
  // HarfBuzz takes a blob's length as an unsigned int.
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
      static_cast<unsigned long long>(info.st_size) <= 0xFFFFFFFFull) {
    data = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  }
  ::close(fd);
  if (data == MAP_FAILED) return nullptr;
  auto* m = new Mapping{path, data, static_cast<std::size_t>(info.st_size), 1};
  registry->push_back(m);
  return m;
}

void release(void* user) {
  auto* m = static_cast<Mapping*>(user);
  const std::lock_guard lock(registryLock);
  if (--m->users > 0) return;
  registry->erase(std::find(registry->begin(), registry->end(), m));
  ::munmap(m->data, m->size);
  delete m;
}

// The process's fontconfig configuration: the system's (or the one
// FONTCONFIG_FILE names) plus one rule, set once before the first font map
// reads it.
//
// The rule: Pango measures a font's average character width from a sample
// sentence set in that font's family. A fallback font without Latin letters
// (the emoji font, say) then falls back in turn, by default to the system's
// sans-serif font: one more file loaded and kept for a measurement that
// nothing uses. The rule names our text family right after the first family
// of every request that does not already start with it, so that the sample
// is set in a font the process holds anyway. Text in our own families finds
// the same fonts as before: Inter Display covers what Inter covers.
void prepareFontconfig() {
  static constinit std::once_flag once;
  std::call_once(once, [] {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) return;  // fontconfig then loads its own on first use
    const std::string family = std::string("<string>") + textFamily + "</string>";
    const std::string rule =
        "<?xml version=\"1.0\"?><fontconfig><match target=\"pattern\">"
        "<test name=\"family\" qual=\"first\" compare=\"not_eq\">" +
        family + "</test><edit name=\"family\" mode=\"append\">" + family +
        "</edit></match></fontconfig>";
    FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(rule.c_str()), FcFalse);
    FcConfigSetCurrent(config);
    FcConfigDestroy(config);  // the current configuration holds its own reference
  });
}

template <typename Function>
Function* libraryFunction(const char* name) {
  return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

void prepareFonts() {
  prepareFontconfig();
}

std::size_t sharedFontFileCount() {
  const std::lock_guard lock(registryLock);
  return registry == nullptr ? 0 : registry->size();
}

}  // namespace SwiftUI::Drawing::detail

using SwiftUI::Drawing::detail::acquire;
using SwiftUI::Drawing::detail::libraryFunction;
using SwiftUI::Drawing::detail::Mapping;
using SwiftUI::Drawing::detail::release;

extern "C" {

__attribute__((visibility("default"))) hb_blob_t* hb_blob_create_from_file(const char* path) {
  if (Mapping* m = path != nullptr ? acquire(path) : nullptr) {
    return hb_blob_create(static_cast<const char*>(m->data), static_cast<unsigned>(m->size),
                          HB_MEMORY_MODE_READONLY, m, release);
  }
  using Original = hb_blob_t*(const char*);
  static Original* const original = libraryFunction<Original>("hb_blob_create_from_file");
  return original != nullptr ? original(path) : hb_blob_get_empty();
}

__attribute__((visibility("default"))) FT_Error FT_New_Face(FT_Library library, const char* path,
                                                            FT_Long index, FT_Face* face) {
  if (Mapping* m = path != nullptr ? acquire(path) : nullptr) {
    const FT_Error error = FT_New_Memory_Face(library, static_cast<const FT_Byte*>(m->data),
                                              static_cast<FT_Long>(m->size), index, face);
    if (error != 0) {
      release(m);
      return error;
    }
    // FreeType calls the finalizer when the face is done; the field is the
    // client's to use.
    (*face)->generic.data = m;
    (*face)->generic.finalizer = [](void* object) {
      release(static_cast<FT_Face>(object)->generic.data);
    };
    return 0;
  }
  using Original = FT_Error(FT_Library, const char*, FT_Long, FT_Face*);
  static Original* const original = libraryFunction<Original>("FT_New_Face");
  return original != nullptr ? original(library, path, index, face)
                             : static_cast<FT_Error>(FT_Err_Cannot_Open_Resource);
}

}  // extern "C"
