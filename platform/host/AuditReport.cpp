#include "platform/host/AuditReport.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>

#include "platform/foundation/CodingError.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"
#include "platform/host/PlatformHostCommand.h"

namespace Host {

namespace {

namespace Drawing = SwiftUI::Drawing;

// Points and ratios are written to two decimals.
double rounded(double value) {
  return std::round(value * 100) / 100;
}

std::string decimal(double value, int digits = 1) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", digits, value);
  std::string out = text;
  if (out.find('.') != std::string::npos) {
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
  }
  return out;
}

std::string hex(const Drawing::RGBA& color) {
  const auto byte = [](double c) {
    return static_cast<int>(std::lround(std::clamp(c, 0.0, 1.0) * 255));
  };
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(color.red), byte(color.green),
                byte(color.blue));
  return text;
}

// The entry of a baseline or of the summary: a finding without its variant.
using ElementKey = std::tuple<std::string, PresentationKind, FindingKind, std::string>;
ElementKey elementKey(const Finding& f) {
  return {f.state, f.presentation, f.kind, f.element};
}

struct ElementSummary {
  std::optional<std::string> text;
  std::vector<std::string> variants;
};

// The findings by element, in the order first found.
std::vector<std::pair<ElementKey, ElementSummary>> byElement(const std::vector<Finding>& findings) {
  std::vector<std::pair<ElementKey, ElementSummary>> out;
  std::map<ElementKey, std::size_t> index;
  for (const Finding& f : findings) {
    const ElementKey key = elementKey(f);
    auto [at, added] = index.emplace(key, out.size());
    if (added) out.push_back({key, {f.text, {}}});
    out[at->second].second.variants.push_back(variantName(f.variant));
  }
  return out;
}

// The fields of a finding's element, without its variant: those of a
// baseline entry and of a summary entry.
void encodeElementFields(Foundation::KeyedEncodingContainer& c, const ElementKey& key,
                         const std::optional<std::string>& text) {
  c.encode("state", std::get<0>(key));
  c.encode("presentation", std::string(nameOf(std::get<1>(key))));
  c.encode("kind", std::string(nameOf(std::get<2>(key))));
  c.encode("element", std::get<3>(key));
  c.encodeIfPresent("text", text);
}

// How many of `findings` are of `kind` in `presentation`.
std::int64_t countOf(const std::vector<Finding>& findings, FindingKind kind,
                     PresentationKind presentation) {
  return std::count_if(findings.begin(), findings.end(), [&](const Finding& f) {
    return f.kind == kind && f.presentation == presentation;
  });
}

// What a finding of its kind carries, as text.
std::string details(const Finding& f) {
  switch (f.kind) {
    case FindingKind::truncated: {
      std::string shown = f.shown.value_or("");
      std::replace(shown.begin(), shown.end(), '\n', '|');
      return "shown \"" + printable(shown) + "\"";
    }
    case FindingKind::brokenWord: {
      std::string lines;
      for (const std::string& line : f.lines)
        lines += (lines.empty() ? "\"" : " | \"") + printable(line) + "\"";
      return "lines " + lines;
    }
    case FindingKind::clipped:
      return f.wholly ? "wholly hidden, " + decimal(f.hidden) + " pt past the edge"
                      : decimal(f.hidden) + " pt hidden";
    case FindingKind::contrast:
      return decimal(f.measured, 2) + ":1, needs " + decimal(f.required) + ":1 (" +
             hex(f.foreground) + " on " + hex(f.background) + ")";
    case FindingKind::tapTarget:
      return decimal(f.frame.width) + " × " + decimal(f.frame.height) + " pt, needs " +
             decimal(f.required) + " × " + decimal(f.required);
  }
  return {};
}

// `text` and spaces up to `width`; a longer text keeps one space after it.
std::string padded(std::string text, std::size_t width) {
  text.append(text.size() < width ? width - text.size() : 1, ' ');
  return text;
}

std::string quoted(const std::optional<std::string>& text) {
  if (!text) return {};
  return " \"" + printable(*text) + "\"";
}

// One accepted finding no longer found, in audit's JSON.
struct GoneEntry {
  const FindingKey* key;
  const std::optional<std::string>* text;

  void encode(Foundation::Encoder& encoder) const {
    auto c = encoder.container();
    c.encode("state", key->state);
    c.encode("presentation", std::string(nameOf(key->presentation)));
    c.encode("variant", key->variant);
    c.encode("kind", std::string(nameOf(key->kind)));
    c.encode("element", key->element);
    c.encodeIfPresent("text", *text);
  }
};

// One element's finding in a baseline, with its variants' names, or in the
// summary, with their count.
struct ElementEntry {
  const ElementKey* key;
  const ElementSummary* summary;
  bool namesVariants = false;

  void encode(Foundation::Encoder& encoder) const {
    auto c = encoder.container();
    encodeElementFields(c, *key, summary->text);
    if (namesVariants) {
      c.encode("variants", summary->variants);
    } else {
      c.encode("variants", static_cast<std::int64_t>(summary->variants.size()));
    }
  }
};

// --- Reading a baseline ---

struct BaselineEntry {
  std::string state;
  PresentationKind presentation;
  FindingKind kind;
  std::string element;
  std::optional<std::string> text;
  std::vector<std::string> variants;

  static BaselineEntry decode(Foundation::Decoder& decoder) {
    auto c = decoder.container();
    BaselineEntry e;
    e.state = c.decode<std::string>("state");
    const auto presentation = presentationKind(c.decode<std::string>("presentation"));
    if (!presentation) decoder.dataCorrupted("not a presentation: presentation");
    e.presentation = *presentation;
    const auto kind = findingKindNamed(c.decode<std::string>("kind"));
    if (!kind) decoder.dataCorrupted("not a kind of finding: kind");
    e.kind = *kind;
    e.element = c.decode<std::string>("element");
    e.text = c.decodeIfPresent<std::string>("text");
    e.variants = c.decode<std::vector<std::string>>("variants");
    for (const std::string& variant : e.variants) {
      if (!variantNamed(variant)) decoder.dataCorrupted("not a variant: " + variant);
    }
    return e;
  }
};

struct BaselineFile {
  std::vector<BaselineEntry> findings;
  static BaselineFile decode(Foundation::Decoder& decoder) {
    return {decoder.container().decode<std::vector<BaselineEntry>>("findings")};
  }
};

}  // namespace

void Finding::encode(Foundation::Encoder& encoder) const {
  auto c = encoder.container();
  c.encode("state", state);
  c.encode("presentation", std::string(nameOf(presentation)));
  {
    auto v = c.nestedContainer("variant");
    v.encode("appearance", std::string(Drawing::appearanceName(variant.appearance)));
    v.encode("textSize", std::string(Drawing::dynamicTypeSizeName(variant.textSize)));
    v.encode("screen", std::string(nameOf(variant.screen)));
  }
  c.encode("kind", std::string(nameOf(kind)));
  c.encode("element", element);
  c.encodeIfPresent("text", text);
  c.encode("frame", std::vector<double>{rounded(frame.x), rounded(frame.y), rounded(frame.width),
                                        rounded(frame.height)});
  switch (kind) {
    case FindingKind::truncated: c.encode("shown", shown.value_or("")); break;
    case FindingKind::brokenWord: c.encode("lines", lines); break;
    case FindingKind::clipped:
      c.encode("hidden", rounded(hidden));
      c.encode("wholly", wholly);
      break;
    case FindingKind::contrast:
      c.encode("measured", rounded(measured));
      c.encode("required", required);
      c.encode("foreground", hex(foreground));
      c.encode("background", hex(background));
      break;
    case FindingKind::tapTarget:
      c.encode("size", std::vector<double>{rounded(frame.width), rounded(frame.height)});
      c.encode("required", required);
      break;
  }
}

std::string baselineJSON(const std::vector<Finding>& findings) {
  std::string out = "{\"findings\": [\n";
  bool first = true;
  const Foundation::JSONEncoder encoder({.withoutEscapingSlashes = true});
  for (const auto& [key, summary] : byElement(findings)) {
    // Names and texts only, which always encode.
    out += (first ? "" : ",\n") + *encoder.encode(ElementEntry{&key, &summary, true});
    first = false;
  }
  return out + "\n]}\n";
}

Foundation::Result<Baseline, std::string> parseBaseline(std::string_view json) {
  auto file = Foundation::JSONDecoder().decode<BaselineFile>(json);
  if (!file) {
    const Foundation::DecodingError& error = file.error();
    return std::string(error.kindName()) + " at " +
           Foundation::describeCodingPath(error.codingPath) + ": " + error.debugDescription;
  }
  Baseline baseline;
  for (const BaselineEntry& e : file->findings) {
    for (const std::string& variant : e.variants) {
      baseline.accepted.emplace(FindingKey{e.state, e.presentation, variant, e.kind, e.element},
                                e.text);
    }
  }
  return baseline;
}

AuditOutcome compareWithBaseline(const AuditRun& run, const std::optional<Baseline>& baseline) {
  AuditOutcome outcome;
  if (!baseline) {
    outcome.reported = run.findings;
    return outcome;
  }
  outcome.withBaseline = true;
  std::set<FindingKey> found;
  for (const Finding& f : run.findings) {
    FindingKey key = f.key();
    if (baseline->accepted.contains(key)) {
      ++outcome.accepted;
    } else {
      outcome.reported.push_back(f);
    }
    found.insert(std::move(key));
  }
  for (const auto& [key, text] : baseline->accepted) {
    if (!found.contains(key) && run.audited.contains({key.state, key.presentation, key.variant})) {
      outcome.gone.emplace_back(key, text);
    }
  }
  return outcome;
}

std::string describeFinding(const Finding& f) {
  return padded(std::string(nameOf(f.kind)), 11) + f.element + quoted(f.text) + "  " + details(f);
}

std::string auditText(const AuditRun& run, const AuditOutcome& outcome) {
  std::string out;
  std::string state;
  std::vector<Finding> sorted = outcome.reported;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Finding& a, const Finding& b) { return a.state < b.state; });
  for (const Finding& f : sorted) {
    if (f.state != state) {
      state = f.state;
      out += (out.empty() ? "" : "\n") + printable(state) + "\n";
    }
    out += "  " + padded(std::string(nameOf(f.presentation)), 12) +
           padded(variantName(f.variant), 30) + describeFinding(f) + "  at [" + decimal(f.frame.x) +
           ", " + decimal(f.frame.y) + ", " + decimal(f.frame.width) + ", " +
           decimal(f.frame.height) + "]\n";
  }
  if (!outcome.gone.empty()) {
    out += "\nRecorded in the baseline and no longer found:\n";
    for (const auto& [key, text] : outcome.gone) {
      out += "  " + padded(printable(key.state), 20) +
             padded(std::string(nameOf(key.presentation)), 12) + padded(key.variant, 30) +
             padded(std::string(nameOf(key.kind)), 11) + key.element + quoted(text) + "\n";
    }
  }

  // Kinds by presentation.
  const auto count = [](std::size_t n, const std::string& noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
  };
  out += "\nSummary: " +
         count(outcome.reported.size(), outcome.withBaseline ? "new finding" : "finding") + " in " +
         count(run.audited.size(), "presentation");
  if (outcome.withBaseline) {
    out += " (" + std::to_string(outcome.accepted) + " accepted by the baseline, " +
           std::to_string(outcome.gone.size()) + " gone)";
  }
  out += "\n\n" + padded("", 12);
  for (PresentationKind kind : allPresentationKinds) out += padded(std::string(nameOf(kind)), 13);
  out += "total\n";
  for (FindingKind kind : allFindingKinds) {
    out += padded(std::string(nameOf(kind)), 12);
    std::size_t total = 0;
    for (PresentationKind presentation : allPresentationKinds) {
      const auto n = static_cast<std::size_t>(countOf(outcome.reported, kind, presentation));
      total += n;
      out += padded(std::to_string(n), 13);
    }
    out += std::to_string(total) + "\n";
  }
  const auto elements = byElement(sorted);
  if (!elements.empty()) {
    out += "\nIn how many of the " + std::to_string(run.variants) +
           " variants each element's finding occurs:\n";
    for (const auto& [key, summary] : elements) {
      out += "  " + padded(std::to_string(summary.variants.size()), 4) +
             padded(printable(std::get<0>(key)), 20) +
             padded(std::string(nameOf(std::get<1>(key))), 12) +
             padded(std::string(nameOf(std::get<2>(key))), 11) + std::get<3>(key) +
             quoted(summary.text) + "\n";
    }
  }
  return out;
}

namespace {

// audit's JSON document.
struct AuditDocument {
  const AuditRun& run;
  const AuditOutcome& outcome;

  void encode(Foundation::Encoder& encoder) const {
    auto c = encoder.container();
    c.encode("findings", outcome.reported);
    if (outcome.withBaseline) {
      std::vector<GoneEntry> gone;
      for (const auto& [key, text] : outcome.gone) gone.push_back({&key, &text});
      c.encode("gone", gone);
    }
    auto summary = c.nestedContainer("summary");
    summary.encode("presentations", static_cast<std::int64_t>(run.audited.size()));
    summary.encode("variants", static_cast<std::int64_t>(run.variants));
    summary.encode("findings", static_cast<std::int64_t>(outcome.reported.size()));
    if (outcome.withBaseline) {
      summary.encode("accepted", static_cast<std::int64_t>(outcome.accepted));
      summary.encode("gone", static_cast<std::int64_t>(outcome.gone.size()));
    }
    auto kinds = summary.nestedContainer("kinds");
    for (FindingKind kind : allFindingKinds) {
      auto byPresentation = kinds.nestedContainer(nameOf(kind));
      for (PresentationKind presentation : allPresentationKinds) {
        byPresentation.encode(nameOf(presentation), countOf(outcome.reported, kind, presentation));
      }
    }
    const auto elements = byElement(outcome.reported);
    std::vector<ElementEntry> entries;
    for (const auto& [key, element] : elements) entries.push_back({&key, &element});
    summary.encode("elements", entries);
  }
};

}  // namespace

std::string auditJSON(const AuditRun& run, const AuditOutcome& outcome) {
  auto text =
      Foundation::JSONEncoder({.withoutEscapingSlashes = true}).encode(AuditDocument{run, outcome});
  // Every number is a placed frame, a ratio or a count, finite by construction.
  assert(text);
  return text ? std::move(text).value() + "\n" : std::string();
}

}  // namespace Host
