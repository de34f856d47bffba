// TDMOriginal, an entry point of Docmend that the library itself does not
// call: it stays in the image and finds a delegate's saved callback from the
// object's class upwards. The image exports nothing, so the test finds it in
// the image's own symbol table.

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstring>
#include <string>

#include "tests/pickerfix/PickerHarness.h"

namespace picker_harness {
namespace {

template <typename T>
T readAt(const std::string& bytes, std::size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

// The address of `name` in the loaded Docmend image; null when the image
// has no such symbol.
void* docmendSymbol(const char* name) {
  const std::string image = readFile(DOCMEND_PATH);
  const auto header = readAt<ElfW(Ehdr)>(image, 0);
  for (std::size_t i = 0; i < header.e_shnum; ++i) {
    const auto table = readAt<ElfW(Shdr)>(image, header.e_shoff + i * sizeof(ElfW(Shdr)));
    if (table.sh_type != SHT_SYMTAB) continue;
    const auto names =
        readAt<ElfW(Shdr)>(image, header.e_shoff + table.sh_link * sizeof(ElfW(Shdr)));
    for (std::size_t s = 0; s < table.sh_size / sizeof(ElfW(Sym)); ++s) {
      const auto symbol = readAt<ElfW(Sym)>(image, table.sh_offset + s * sizeof(ElfW(Sym)));
      if (std::strcmp(image.c_str() + names.sh_offset + symbol.st_name, name) != 0) continue;
      void* handle = dlopen(DOCMEND_PATH, RTLD_NOW | RTLD_NOLOAD);
      link_map* map = nullptr;
      if (handle == nullptr || dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0) return nullptr;
      dlclose(handle);
      return reinterpret_cast<void*>(map->l_addr + symbol.st_value);
    }
  }
  return nullptr;
}

class DocmendOriginal : public DocmendTest {};

TEST_F(DocmendOriginal, FindsTheSavedCallbackFromTheObjectsClassUp) {
  const auto original = reinterpret_cast<IMP (*)(id, const void*)>(docmendSymbol("TDMOriginal"));
  void* const manyKey = docmendSymbol("kOriginalPickURLs");
  void* const oneKey = docmendSymbol("kOriginalPickURL");
  ASSERT_NE(original, nullptr);
  ASSERT_NE(manyKey, nullptr);
  ASSERT_EQ(*static_cast<void**>(manyKey), manyKey);  // a key holds its own address

  Class base = defineDelegate("OriginalBase", Nil, 0, kMany);
  Class sub = defineDelegate("OriginalSub", base, 1, kNone);
  const IMP saved = implementation(base, manySelector());
  id baseDelegate = keep(class_createInstance(base, 0));
  id subDelegate = keep(class_createInstance(sub, 0));
  EXPECT_EQ(original(baseDelegate, manyKey), nullptr);  // not patched yet

  setDelegate(keep(newPicker(UIDocumentPickerModeOpen)), baseDelegate);
  EXPECT_EQ(original(baseDelegate, manyKey), saved);
  EXPECT_EQ(original(subDelegate, manyKey), saved);    // inherited from the patched class
  EXPECT_EQ(original(baseDelegate, oneKey), nullptr);  // no single-URL callback
  EXPECT_EQ(original(nil, manyKey), nullptr);
}

}  // namespace
}  // namespace picker_harness
