// How this process finds its fonts: a fontconfig configuration of its own
// (below). FreeType and HarfBuzz each map the font files they read, the
// libraries' own way: those are clean pages of files, which the system can
// drop at any time and which a process's memory limit does not count.

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/ui/drawing/PangoFonts.h"

namespace SwiftUI::Drawing::detail {

namespace {

// The rules of the process's configuration.
//
// The text family: Pango measures a font's average character width from a
// sample sentence set in that font's family. A fallback font without Latin
// letters (the emoji font, say) then falls back in turn, by default to the
// system's sans-serif font: one more file loaded and kept for a measurement
// that nothing uses. The rule names our text family right after the first
// family of every request that does not already start with it, so that the
// sample is set in a font the process holds anyway. Text in our own
// families finds the same fonts as without it: Inter Display covers what Inter
// covers.
std::string textFamilyRule() {
  const std::string family = std::string("<string>") + textFamily + "</string>";
  return "<match target=\"pattern\"><test name=\"family\" qual=\"first\" compare=\"not_eq\">" +
         family + "</test><edit name=\"family\" mode=\"append\">" + family + "</edit></match>";
}

// Fontconfig's usual rules for the fallback fonts we draw with: a bitmap
// font (the colour emoji) scaled to the size asked for, and a font without
// a bold face (Devanagari) emboldened when bold is asked for.
constexpr const char* fallbackRules =
    "<match target=\"font\"><test name=\"outline\" compare=\"eq\"><bool>false</bool></test>"
    "<edit name=\"pixelsizefixupfactor\" mode=\"assign\"><divide>"
    "<name target=\"pattern\">pixelsize</name><name target=\"font\">pixelsize</name>"
    "</divide></edit></match>"
    "<match target=\"font\"><test name=\"outline\" compare=\"eq\"><bool>false</bool></test>"
    "<test name=\"pixelsizefixupfactor\" compare=\"not_eq\"><double>1.0</double></test>"
    "<edit name=\"matrix\" mode=\"assign\"><times><name>matrix</name><matrix>"
    "<name>pixelsizefixupfactor</name><double>0</double>"
    "<double>0</double><name>pixelsizefixupfactor</name></matrix></times></edit>"
    "<edit name=\"size\" mode=\"assign\"><divide><name>size</name>"
    "<name>pixelsizefixupfactor</name></divide></edit></match>"
    "<match target=\"font\"><test name=\"weight\" compare=\"less_eq\"><const>medium</const></test>"
    "<test target=\"pattern\" name=\"weight\" compare=\"more_eq\"><const>bold</const></test>"
    "<edit name=\"embolden\" mode=\"assign\"><bool>true</bool></edit>"
    "<edit name=\"weight\" mode=\"assign\"><const>bold</const></edit></match>";

// The process's fontconfig configuration, set once before the first font
// map reads it: the system's font folders and caches with the rules above
// and no others. The system's own configuration (some 36 files of aliases
// and rules for languages and fonts we never draw) would hold about 0.3 MB
// of heap, and make each font request carry its alias lists. With
// FONTCONFIG_FILE set, that configuration is loaded instead, with the text
// family's rule added.
void prepareFontconfig() {
  static constinit std::once_flag once;
  std::call_once(once, [] {
    const bool named = std::getenv("FONTCONFIG_FILE") != nullptr;
    FcConfig* config = named ? FcInitLoadConfig() : FcConfigCreate();
    if (config == nullptr) return;  // fontconfig then loads its own on first use
    const std::string rules =
        "<?xml version=\"1.0\"?><fontconfig>" +
        (named ? std::string()
               : std::string("<dir>/usr/share/fonts</dir><dir>/usr/local/share/fonts</dir>"
                             "<cachedir>/var/cache/fontconfig</cachedir>"
                             "<cachedir prefix=\"xdg\">fontconfig</cachedir>") +
                     fallbackRules) +
        textFamilyRule() + "</fontconfig>";
    if (FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(rules.c_str()),
                                       FcFalse) &&
        FcConfigBuildFonts(config)) {
      FcConfigSetCurrent(config);
    }
    FcConfigDestroy(config);  // the current configuration holds its own reference
  });
}

}  // namespace

void prepareFonts() {
  prepareFontconfig();
}

}  // namespace SwiftUI::Drawing::detail
