#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/foundation/JSONEncoder.h"
#include "platform/host/Host.h"
#include "platform/ui/drawing/Geometry.h"
#include "platform/ui/drawing/ResolvedColor.h"
#include "platform/ui/drawing/TextMeasurer.h"
#include "platform/widgetkit/ActivityPresentations.h"
#include "platform/widgetkit/PresentationRenderer.h"

// The readability audit: what a person would find wrong in a presentation
// as the platform shows it, read from its placement (PresentationRenderer's
// PlacedPresentation: every laid-out element's frame and the lines each text
// shows) and from the draw commands of its picture (the colours as drawn and
// what lies under them). Nothing is rasterised or encoded.
//
// Five kinds of finding, each decided so:
//
// - truncated: a text shows less than its whole text: the lines it shows,
//   spaces aside, differ from its text (an ellipsis put in at the tail, or
//   lines left out by a line limit or a height). Carries the text as shown.
// - brokenWord: a text wraps where Unicode's line breaking rules offer no
//   break (Foundation::isLineBreakOpportunity), that is inside a word too
//   long for the line. Carries the lines as shown.
// - clipped: a text, symbol, ring (circle) or progress bar whose frame
//   reaches more than clipTolerance points past what the platform shows:
//   the chrome's shape (the card or island, its rounded corners included;
//   the lock screen and expanded island end at 160 points), and in the
//   compact island the side the element belongs to (the camera sits
//   between the sides). Carries how far it reaches past the edge and
//   whether none of it shows.
// - contrast: WCAG 2 contrast ratio (Drawing::contrastRatio) between an
//   element's colour and what the picture draws under it, composited as the
//   renderer composites (the backdrop, the lock screen's material and the
//   activity's tint, the island's black, and any content drawn before it),
//   at the worst of five spots of its visible frame (corners and centre).
//   Texts need 4.5, or 3 when large (18 points and up, or 14 and up at bold
//   or heavier); symbols, the arc of a trimmed circle and the fill of a
//   progress bar need 3. An arc is measured over its track, a bar's fill
//   over its track; untrimmed circles (tracks) and invisible elements are
//   not measured. Carries both ratios and both colours.
// - tapTarget: a button (on the lock screen or in the expanded island,
//   where buttons act) whose tappable region, cut to the chrome's shape, is
//   narrower or shorter than 44 points. Carries its size.
//
// Every finding names its element by a path through the view tree that
// follows the describe format: the presentation's name there
// ("lockScreen", "center", "compactTrailing", …), then each view's kind
// with its index among its parent's children:
// "lockScreen/VStack/HStack[0]/VStack[1]/Text[1]". Frames are in the
// points of the presentation's picture (its 14-point margin included), as
// `render` draws it.
namespace Host {

enum class FindingKind : std::uint8_t { truncated, brokenWord, clipped, contrast, tapTarget };

inline constexpr std::array<FindingKind, 5> allFindingKinds{
    FindingKind::truncated, FindingKind::brokenWord, FindingKind::clipped, FindingKind::contrast,
    FindingKind::tapTarget};

// "truncated", "brokenWord", "clipped", "contrast", "tapTarget".
std::string_view nameOf(FindingKind kind);
std::optional<FindingKind> findingKindNamed(std::string_view name);

// The thresholds the kinds are decided by.
inline constexpr double minimumTapTarget = 44;
inline constexpr double minimumTextContrast = 4.5;
inline constexpr double minimumLargeTextContrast = 3;
inline constexpr double minimumGraphicContrast = 3;
inline constexpr double clipTolerance = 0.5;

// "dark/large/393x852": a variant's appearance, text size and screen.
std::string variantName(const PictureVariant& variant);
std::optional<PictureVariant> variantNamed(std::string_view name);

// What a finding is matched on, in a baseline and across variants.
struct FindingKey {
  std::string state;
  PresentationKind presentation = PresentationKind::lockScreen;
  std::string variant;  // variantName
  FindingKind kind = FindingKind::truncated;
  std::string element;
  friend auto operator<=>(const FindingKey&, const FindingKey&) = default;
};

struct Finding {
  std::string state;
  PresentationKind presentation = PresentationKind::lockScreen;
  PictureVariant variant;
  FindingKind kind = FindingKind::truncated;
  std::string element;
  std::optional<std::string> text;  // a text's whole text
  SwiftUI::Drawing::Rect frame;     // in the picture's points
  // truncated: the text as shown, its lines joined by "\n".
  std::optional<std::string> shown;
  // brokenWord: the lines as shown.
  std::vector<std::string> lines;
  // clipped: points past the visible edge, and whether nothing shows.
  double hidden = 0;
  bool wholly = false;
  // contrast: the ratios and the two colours (opaque, as drawn) at the worst
  // spot; tapTarget: required is the minimum side.
  double measured = 0;
  double required = 0;
  SwiftUI::Drawing::RGBA foreground;
  SwiftUI::Drawing::RGBA background;

  FindingKey key() const;
  // The finding in audit's JSON (AuditReport.cpp): state, presentation,
  // variant, kind, element, text, frame and the fields of its kind.
  void encode(Foundation::Encoder& encoder) const;
};

// Every finding of one placed presentation (timer texts read at `now`, as
// placed) and its picture (PresentationRenderer::picture(placed), which a
// caller that shows the picture draws once for both), each named with
// `state` and `variant`, appended to `out` in reading order.
void auditPlaced(const PlacedPresentation& placed, const Picture& picture, std::string_view state,
                 const PictureVariant& variant, Foundation::Date now, std::vector<Finding>& out);

// Places and audits presentations. Keeps one renderer, so that the text
// measurements of one presentation serve the next, across variants too.
// Not thread-safe; the measurer must outlive the auditor.
class Auditor {
 public:
  explicit Auditor(const SwiftUI::Drawing::TextMeasurer& measurer) : renderer_(measurer) {}

  void audit(std::string_view state, const ActivityPresentations& presentations,
             PresentationKind kind, const PictureVariant& variant, Foundation::Date now,
             std::vector<Finding>& out);

 private:
  PresentationRenderer renderer_;
};

// A content state to audit: its name in the findings, its presentations and
// the moment its timer texts are read at.
struct AuditSubject {
  std::string name;
  ActivityPresentations presentations;
  Foundation::Date now;
};

// What one audit looked at and found.
struct AuditRun {
  std::vector<Finding> findings;
  std::size_t variants = 0;  // the variants each presentation was audited in
  // Each state, presentation and variant (variantName) audited.
  std::set<std::tuple<std::string, PresentationKind, std::string>> audited;
};

// Every variant: both appearances, every text size, both screens.
std::vector<PictureVariant> allPictureVariants();

// Audits each subject's presentations of `kinds` in each of `variants`.
AuditRun auditSubjects(const SwiftUI::Drawing::TextMeasurer& measurer,
                       const std::vector<AuditSubject>& subjects,
                       const std::vector<PresentationKind>& kinds,
                       const std::vector<PictureVariant>& variants);

}  // namespace Host
