// picker-app: presents a document picker from the command line, lets the
// "user" pick the items given, and prints what its delegate receives.
//
//   picker-app pick [--init types|content-types] [--mode import|open|export|move]
//                   [--as-copy] [--delegate multiple|single] ITEM...
//
// stdout: "mode=<mode> asCopy=<yes|no>" (the picker as its initialiser left
// it), then one line per URL the delegate received: the path of a file URL,
// else the whole URL, with the characters that could break the line escaped as
// in Docmend's log ("\n", "\t", "\xHH", "\u2028", a backslash doubled).
// Exit codes: 0, or 64 for a usage error.

#include <CLI/CLI.hpp>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "pickerfix/LogText.h"
#include "platform/foundation/NSArray.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/message.h"
#include "platform/objc/runtime.h"
#include "platform/uikit/UIDocumentPickerViewController.h"

namespace {

constexpr int kExitUsage = 64;

SEL sel(const char* name) {
  return sel_registerName(name);
}

void printURL(id url) {
  auto* u = NSURL::cast(url);
  if (u == nullptr) return;
  std::printf("%s\n", TDMEscapedForLog(u->isFileURL() ? u->path() : u->absoluteString()).c_str());
}

void didPickDocuments(id, SEL, id, id urls) {
  if (auto* array = NSArray::cast(urls)) {
    for (id url : array->objects()) printURL(url);
  }
}

void didPickDocument(id, SEL, id, id url) {
  printURL(url);
}

// The app's delegate class: the multiple-URL callback, or only the
// single-URL one.
Class delegateClass(bool single) {
  const char* name = single ? "PickerAppSingleDelegate" : "PickerAppDelegate";
  Class cls = objc_allocateClassPair(objc_getClass("NSObject"), name, 0);
  if (single) {
    class_addMethod(cls, sel("documentPicker:didPickDocumentAtURL:"),
                    reinterpret_cast<IMP>(didPickDocument), "v32@0:8@16@24");
  } else {
    class_addMethod(cls, sel("documentPicker:didPickDocumentsAtURLs:"),
                    reinterpret_cast<IMP>(didPickDocuments), "v32@0:8@16@24");
  }
  objc_registerClassPair(cls);
  return cls;
}

// YES for an item written as a URL: a scheme, then "://".
bool hasURLScheme(const std::string& item) {
  auto end = item.find("://");
  if (end == std::string::npos || end == 0 || !std::isalpha(static_cast<unsigned char>(item[0])))
    return false;
  for (std::size_t i = 0; i < end; ++i) {
    char c = item[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
      return false;
  }
  return true;
}

const char* modeName(NSUInteger mode) {
  switch (mode) {
    case UIDocumentPickerModeImport: return "import";
    case UIDocumentPickerModeOpen: return "open";
    case UIDocumentPickerModeExportToService: return "export";
    case UIDocumentPickerModeMoveToService: return "move";
    default: return "unknown";
  }
}

struct PickOptions {
  std::string init = "types";
  std::string mode = "open";
  bool asCopy = false;
  std::string delegate = "multiple";
  std::vector<std::string> items;
};

int runPick(const PickOptions& options) {
  AutoreleasePool pool;
  NSMutableArray* types = NSMutableArray::arrayWithCapacity(1);
  types->addObject(NSString::stringWithUTF8String("public.item"));

  Class pickerClass = objc_getClass("UIDocumentPickerViewController");
  id picker = objc_msgSendTyped<id>(pickerClass, sel("alloc"));
  if (options.init == "types") {
    NSUInteger mode = options.mode == "import"   ? UIDocumentPickerModeImport
                      : options.mode == "export" ? UIDocumentPickerModeExportToService
                      : options.mode == "move"   ? UIDocumentPickerModeMoveToService
                                                 : UIDocumentPickerModeOpen;
    picker = objc_msgSendTyped<id>(picker, sel("initWithDocumentTypes:inMode:"),
                                   static_cast<id>(types), mode);
  } else {
    picker = objc_msgSendTyped<id>(picker, sel("initForOpeningContentTypes:asCopy:"),
                                   static_cast<id>(types), static_cast<BOOL>(options.asCopy));
  }
  std::printf("mode=%s asCopy=%s\n",
              modeName(objc_msgSendTyped<NSUInteger>(picker, sel("documentPickerMode"))),
              objc_msgSendTyped<BOOL>(picker, sel("asCopy")) ? "yes" : "no");

  id delegate = class_createInstance(delegateClass(options.delegate == "single"), 0);
  objc_msgSendTyped<void>(picker, sel("setDelegate:"), delegate);

  NSMutableArray* urls = NSMutableArray::arrayWithCapacity(options.items.size());
  for (const auto& item : options.items) {
    NSURL* url = hasURLScheme(item) ? NSURL::URLWithString(item) : nullptr;
    // What the user picks in the picker comes with security-scoped access.
    urls->addObject(url != nullptr ? url : NSURL::securityScopedFileURLWithPath(item));
  }
  objc_msgSendTyped<void>(picker, sel("pickDocumentsAtURLs:"), static_cast<id>(urls));
  std::fflush(stdout);

  objc_msgSendTyped<void>(picker, sel("setDelegate:"), static_cast<id>(nil));
  objc_release(delegate);
  objc_release(picker);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Presents a document picker and prints what its delegate receives."};
  app.require_subcommand(1);
  PickOptions options;
  CLI::App* pick =
      app.add_subcommand("pick", "Pick ITEMs (file paths, or URLs with a scheme) in a picker.");
  pick->add_option("--init", options.init,
                   "Initialiser: initWithDocumentTypes:inMode: or "
                   "initForOpeningContentTypes:asCopy:")
      ->check(CLI::IsMember({"types", "content-types"}));
  CLI::Option* mode =
      pick->add_option("--mode", options.mode, "Picker mode, with --init types (default open)")
          ->check(CLI::IsMember({"import", "open", "export", "move"}));
  CLI::Option* asCopy =
      pick->add_flag("--as-copy", options.asCopy, "Ask for copies, with --init content-types");
  pick->add_option("--delegate", options.delegate,
                   "Delegate callbacks: multiple-URL or only single-URL")
      ->check(CLI::IsMember({"multiple", "single"}));
  pick->add_option("items", options.items,
                   "ITEM...: file paths, or URLs such as https://host/file");
  pick->footer(
      "Prints mode=<mode> asCopy=<yes|no>, then one line per URL the delegate received: the "
      "path of a file URL, else the whole URL. Characters that would break the line are escaped "
      "as in Docmend's log: \\n, \\r, \\t, other controls as \\xHH or \\u00HH, U+2028 and "
      "U+2029 as \\u2028 and \\u2029, and a backslash is doubled.");
  try {
    app.parse(argc, argv);
    if (options.init == "content-types" && mode->count() > 0) {
      throw CLI::ValidationError("--mode", "applies to --init types only");
    }
    if (options.init == "types" && asCopy->count() > 0) {
      throw CLI::ValidationError("--as-copy", "applies to --init content-types only");
    }
  } catch (const CLI::ParseError& error) {
    int code = app.exit(error);
    return code == 0 ? 0 : kExitUsage;
  }
  return runPick(options);
}
