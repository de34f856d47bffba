// How this process finds its fonts: fontconfig's configuration with one
// rule added. FreeType and HarfBuzz each map the font files they read, the
// libraries' own way: those are clean pages of files, which the system can
// drop at any time and which a process's memory limit does not count.

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <string>

#include "platform/ui/drawing/PangoFonts.h"

namespace SwiftUI::Drawing::detail {

namespace {

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

}  // namespace

void prepareFonts() {
  prepareFontconfig();
}

}  // namespace SwiftUI::Drawing::detail
