#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Result.h"
#include "platform/host/Audit.h"

// What the audit command prints and the baseline it keeps (Audit.h decides
// the findings).
//
// A baseline file lists accepted findings, one entry an element, with the
// variants it was found in:
//
//   {"findings": [
//   {"state": "paused", "presentation": "lock-screen", "kind": "contrast",
//    "element": "lockScreen/VStack/HStack[0]/VStack[1]/Text[1]", "text": "Paused (3/7)",
//    "variants": ["light/xSmall/393x852", "light/small/393x852", …]},
//   …]}
//
// A finding is accepted when its state, presentation, variant, kind and
// element are listed; "text" is there for the reader and not matched.
namespace Host {

// audit's exit code when a finding lies outside the baseline (or there is
// no baseline and a finding).
inline constexpr int exitFindingsOutsideBaseline = 1;

// The findings a baseline accepts, with the text each was recorded with.
struct Baseline {
  std::map<FindingKey, std::optional<std::string>> accepted;
};

// The baseline of `findings`, in the file's form.
std::string baselineJSON(const std::vector<Finding>& findings);
// A baseline file read back; a failure says why in one line.
Foundation::Result<Baseline, std::string> parseBaseline(std::string_view json);

// What is reported: every finding, or with a baseline the findings it does
// not accept and the accepted ones not found again.
struct AuditOutcome {
  std::vector<Finding> reported;
  bool withBaseline = false;
  std::size_t accepted = 0;
  std::vector<std::pair<FindingKey, std::optional<std::string>>> gone;
};
AuditOutcome compareWithBaseline(const AuditRun& run, const std::optional<Baseline>& baseline);

// A finding in one line without its state, presentation and variant:
// kind, element, text and what its kind carries.
std::string describeFinding(const Finding& finding);

// One line a finding, grouped by state, then the summary: findings by kind
// and presentation, and in how many variants each element's finding
// occurs.
std::string auditText(const AuditRun& run, const AuditOutcome& outcome);

// {"findings": [{"state", "presentation", "variant": {"appearance",
// "textSize", "screen"}, "kind", "element", "text", "frame": [x, y, width,
// height], …}], "gone": […] (with a baseline), "summary": {…}}; see the
// README for each kind's fields.
std::string auditJSON(const AuditRun& run, const AuditOutcome& outcome);

}  // namespace Host
