#include "platform/host/AuditReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/foundation/CodingError.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONWriter.h"

namespace Host {

namespace {

using Foundation::JSONWriter;
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

void writeKeyFields(JSONWriter& w, const std::string& state, PresentationKind presentation) {
  w.key("state");
  w.string(state);
  w.key("presentation");
  w.string(nameOf(presentation));
}

// The fields of a finding's element, without its variant, in an open object.
void writeElementFields(JSONWriter& w, const ElementKey& key,
                        const std::optional<std::string>& text) {
  writeKeyFields(w, std::get<0>(key), std::get<1>(key));
  w.key("kind");
  w.string(nameOf(std::get<2>(key)));
  w.key("element");
  w.string(std::get<3>(key));
  if (text) {
    w.key("text");
    w.string(*text);
  }
}

// What a finding of its kind carries, as text.
std::string details(const Finding& f) {
  switch (f.kind) {
    case FindingKind::truncated: {
      std::string shown = f.shown.value_or("");
      std::replace(shown.begin(), shown.end(), '\n', '|');
      return "shown \"" + shown + "\"";
    }
    case FindingKind::brokenWord: {
      std::string lines;
      for (const std::string& line : f.lines)
        lines += (lines.empty() ? "\"" : " | \"") + line + "\"";
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

std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string quoted(const std::optional<std::string>& text) {
  if (!text) return {};
  std::string out = " \"" + *text + "\"";
  std::replace(out.begin(), out.end(), '\n', ' ');
  return out;
}

void writeFinding(JSONWriter& w, const Finding& f) {
  w.beginObject();
  writeKeyFields(w, f.state, f.presentation);
  w.key("variant");
  w.beginObject();
  w.key("appearance");
  w.string(Drawing::appearanceName(f.variant.appearance));
  w.key("textSize");
  w.string(Drawing::dynamicTypeSizeName(f.variant.textSize));
  w.key("screen");
  w.string(nameOf(f.variant.screen));
  w.endObject();
  w.key("kind");
  w.string(nameOf(f.kind));
  w.key("element");
  w.string(f.element);
  if (f.text) {
    w.key("text");
    w.string(*f.text);
  }
  w.key("frame");
  w.beginArray();
  for (double v : {f.frame.x, f.frame.y, f.frame.width, f.frame.height}) w.number(rounded(v));
  w.endArray();
  switch (f.kind) {
    case FindingKind::truncated:
      w.key("shown");
      w.string(f.shown.value_or(""));
      break;
    case FindingKind::brokenWord:
      w.key("lines");
      w.beginArray();
      for (const std::string& line : f.lines) w.string(line);
      w.endArray();
      break;
    case FindingKind::clipped:
      w.key("hidden");
      w.number(rounded(f.hidden));
      w.key("wholly");
      w.boolean(f.wholly);
      break;
    case FindingKind::contrast:
      w.key("measured");
      w.number(rounded(f.measured));
      w.key("required");
      w.number(f.required);
      w.key("foreground");
      w.string(hex(f.foreground));
      w.key("background");
      w.string(hex(f.background));
      break;
    case FindingKind::tapTarget:
      w.key("size");
      w.beginArray();
      w.number(rounded(f.frame.width));
      w.number(rounded(f.frame.height));
      w.endArray();
      w.key("required");
      w.number(f.required);
      break;
  }
  w.endObject();
}

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

std::string baselineJSON(const std::vector<Finding>& findings) {
  std::string out = "{\"findings\": [\n";
  bool first = true;
  for (const auto& [key, summary] : byElement(findings)) {
    JSONWriter w({.escapeSlashes = false});
    w.beginObject();
    writeElementFields(w, key, summary.text);
    w.key("variants");
    w.beginArray();
    for (const std::string& variant : summary.variants) w.string(variant);
    w.endArray();
    w.endObject();
    out += (first ? "" : ",\n") + w.text();
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
      out += (out.empty() ? "" : "\n") + state + "\n";
    }
    out += "  " + padded(std::string(nameOf(f.presentation)), 12) +
           padded(variantName(f.variant), 30) + describeFinding(f) + "  at [" + decimal(f.frame.x) +
           ", " + decimal(f.frame.y) + ", " + decimal(f.frame.width) + ", " +
           decimal(f.frame.height) + "]\n";
  }
  if (!outcome.gone.empty()) {
    out += "\nRecorded in the baseline and no longer found:\n";
    for (const auto& [key, text] : outcome.gone) {
      out += "  " + padded(key.state, 20) + padded(std::string(nameOf(key.presentation)), 12) +
             padded(key.variant, 30) + padded(std::string(nameOf(key.kind)), 11) + key.element +
             quoted(text) + "\n";
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
      const auto n = static_cast<std::size_t>(std::count_if(
          outcome.reported.begin(), outcome.reported.end(),
          [&](const Finding& f) { return f.kind == kind && f.presentation == presentation; }));
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
             padded(std::get<0>(key), 20) + padded(std::string(nameOf(std::get<1>(key))), 12) +
             padded(std::string(nameOf(std::get<2>(key))), 11) + std::get<3>(key) +
             quoted(summary.text) + "\n";
    }
  }
  return out;
}

std::string auditJSON(const AuditRun& run, const AuditOutcome& outcome) {
  JSONWriter w({.escapeSlashes = false});
  w.beginObject();
  w.key("findings");
  w.beginArray();
  for (const Finding& f : outcome.reported) writeFinding(w, f);
  w.endArray();
  if (outcome.withBaseline) {
    w.key("gone");
    w.beginArray();
    for (const auto& [key, text] : outcome.gone) {
      w.beginObject();
      writeKeyFields(w, key.state, key.presentation);
      w.key("variant");
      w.string(key.variant);
      w.key("kind");
      w.string(nameOf(key.kind));
      w.key("element");
      w.string(key.element);
      if (text) {
        w.key("text");
        w.string(*text);
      }
      w.endObject();
    }
    w.endArray();
  }
  w.key("summary");
  w.beginObject();
  w.key("presentations");
  w.integer(static_cast<std::int64_t>(run.audited.size()));
  w.key("variants");
  w.integer(static_cast<std::int64_t>(run.variants));
  w.key("findings");
  w.integer(static_cast<std::int64_t>(outcome.reported.size()));
  if (outcome.withBaseline) {
    w.key("accepted");
    w.integer(static_cast<std::int64_t>(outcome.accepted));
    w.key("gone");
    w.integer(static_cast<std::int64_t>(outcome.gone.size()));
  }
  w.key("kinds");
  w.beginObject();
  for (FindingKind kind : allFindingKinds) {
    w.key(nameOf(kind));
    w.beginObject();
    for (PresentationKind presentation : allPresentationKinds) {
      w.key(nameOf(presentation));
      w.integer(std::count_if(
          outcome.reported.begin(), outcome.reported.end(),
          [&](const Finding& f) { return f.kind == kind && f.presentation == presentation; }));
    }
    w.endObject();
  }
  w.endObject();
  w.key("elements");
  w.beginArray();
  for (const auto& [key, summary] : byElement(outcome.reported)) {
    w.beginObject();
    writeElementFields(w, key, summary.text);
    w.key("variants");
    w.integer(static_cast<std::int64_t>(summary.variants.size()));
    w.endObject();
  }
  w.endArray();
  w.endObject();
  w.endObject();
  return w.take() + "\n";
}

}  // namespace Host
