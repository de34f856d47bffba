#include <CLI/CLI.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Clock.h"
#include "platform/host/Audit.h"
#include "platform/host/AuditReport.h"
#include "platform/host/CommandOptions.h"
#include "platform/host/PictureOptions.h"
#include "platform/host/PlatformHostCommand.h"
#include "platform/ui/drawing/Output.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"

// audit [STATE|-]... [--presentation NAME|all] [--appearance A|all]
//       [--text-size S|all] [--screen WxH|all] [--now SECONDS]
//       [--format text|json] [--baseline FILE] [--write-baseline FILE]
//
// Lays out every presentation of each state as `render` would, in every
// variant asked for (all 48 unless told), and reports what is cut off,
// broken inside a word, too faint or too small to tap (Audit.h says how
// each is decided). Without a state, audits the activity's sample states
// (the gallery's), their timers read at the previews' moment; a STATE is a
// JSON file, or - for standard input, named in the findings as given, read
// at the system clock's "now" unless --now pins it.
//
// --format text (the default) prints one line a finding, grouped by state,
// and a summary; json one document (AuditReport.h). --write-baseline FILE
// records the findings (a regular file is replaced whole); --baseline FILE
// accepts the findings recorded there and reports only the others and the
// recorded ones that are gone.
//
// Exit 0 when no finding lies outside the baseline (or the findings were
// just recorded), 1 when one does; 64 usage, 65 an undecodable or
// oversized state or an unreadable baseline file's content, 66 a state or
// baseline that cannot be read, 74 a baseline that cannot be written.
namespace Host {

namespace {

// The choices of `values` under their names, and "all" for every one.
template <class T, class Values, class Name>
std::vector<Choice<std::optional<T>>> choicesOrAll(const Values& values, Name name) {
  auto choices = namedChoices<std::optional<T>>(values, name);
  choices.push_back({"all", std::nullopt});
  return choices;
}

enum class AuditFormat : std::uint8_t { text, json };

}  // namespace

void installAuditCommand(CLI::App& app, HostContext& context) {
  namespace D = SwiftUI::Drawing;
  struct Options {
    std::vector<std::string> states;
    std::optional<PresentationKind> presentation;
    std::optional<D::Appearance> appearance;
    std::optional<D::DynamicTypeSize> textSize;
    std::optional<ScreenSize> screen;
    std::optional<double> now;
    AuditFormat format = AuditFormat::text;
    std::string baseline;
    std::string writeBaseline;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand(
      "audit", "Report what is cut off, broken inside a word, too faint or too small to tap");
  command->add_option("state", options->states,
                      "JSON files of content states, - for standard input; the sample states "
                      "when left out");
  addChoiceOption(command, "--presentation", options->presentation,
                  choicesOrAll<PresentationKind>(allPresentationKinds,
                                                 [](PresentationKind k) { return nameOf(k); }),
                  "The presentation", "NAME");
  addChoiceOption(command, "--appearance", options->appearance,
                  choicesOrAll<D::Appearance>(D::allAppearances, D::appearanceName),
                  "The appearance", "APPEARANCE");
  addChoiceOption(command, "--text-size", options->textSize,
                  choicesOrAll<D::DynamicTypeSize>(D::allDynamicTypeSizes, D::dynamicTypeSizeName),
                  "The text-size setting", "SIZE");
  addChoiceOption(command, "--screen", options->screen,
                  choicesOrAll<ScreenSize>(allScreenSizes, [](ScreenSize s) { return nameOf(s); }),
                  "The screen in points", "WxH");
  addNumberOption(command, "--now", options->now, NumberRange{},
                  "The current date in seconds since 2001-01-01 00:00:00 UTC", "SECONDS",
                  "the previews' moment for the sample states, else the system clock's");
  constexpr std::array formats{AuditFormat::text, AuditFormat::json};
  addChoiceOption(
      command, "--format", options->format,
      namedChoices<AuditFormat>(
          formats, [](AuditFormat f) { return f == AuditFormat::text ? "text" : "json"; }),
      "How the findings are written", "FORMAT");
  command->add_option("--baseline", options->baseline,
                      "Accept the findings recorded in this file; report the others");
  command->add_option("--write-baseline", options->writeBaseline,
                      "Record the findings in this file");

  setCommandBody(command, context, [options, &context]() -> CommandOutcome {
    std::vector<AuditSubject> subjects;
    const auto add = [&](std::string name, std::string_view json,
                         Foundation::Date now) -> CommandResult<void> {
      auto presentations = context.activity.presentContentState(json, now);
      if (!presentations) {
        return CommandFailure{exitDataError,
                              name + ": " + decodingErrorMessage(presentations.error())};
      }
      subjects.push_back({std::move(name), std::move(*presentations), now});
      return {};
    };
    if (options->states.empty()) {
      const ActivityPreviews& previews = context.activity.previews;
      if (previews.states.empty()) {
        return CommandFailure{exitUsage, "give a state: the activity has no sample states"};
      }
      const Foundation::Date now = options->now ? Foundation::Date(*options->now) : previews.now;
      for (const ActivityPreviewState& state : previews.states) {
        if (auto added = add(std::string(state.id), state.json, now); !added) {
          return added.error();
        }
      }
    } else {
      const Foundation::Date now =
          options->now ? Foundation::Date(*options->now) : Foundation::currentDate();
      for (const std::string& path : options->states) {
        auto payload = readPayload(context, path);
        if (!payload) return payload.error();
        if (auto added = add(path, *payload, now); !added) return added.error();
      }
    }

    std::optional<Baseline> baseline;
    if (!options->baseline.empty()) {
      auto text = readInput(context, options->baseline);
      if (!text) return text.error();
      auto parsed = parseBaseline(*text);
      if (!parsed) {
        return CommandFailure{exitDataError,
                              "baseline " + options->baseline + ": " + parsed.error()};
      }
      baseline = std::move(*parsed);
    }

    std::vector<PresentationKind> kinds(allPresentationKinds.begin(), allPresentationKinds.end());
    if (options->presentation) kinds = {*options->presentation};
    std::vector<PictureVariant> variants;
    for (const PictureVariant& variant : allPictureVariants()) {
      if ((!options->appearance || *options->appearance == variant.appearance) &&
          (!options->textSize || *options->textSize == variant.textSize) &&
          (!options->screen || *options->screen == variant.screen)) {
        variants.push_back(variant);
      }
    }

    const D::PangoTextMeasurer measurer;
    const AuditRun run = auditSubjects(measurer, subjects, kinds, variants);
    if (!options->writeBaseline.empty()) {
      const std::string file = baselineJSON(run.findings);
      if (auto written = D::writeFile(options->writeBaseline, file.data(), file.size()); !written) {
        return detail::outputFailure(written.error());
      }
    }
    const AuditOutcome outcome = compareWithBaseline(run, baseline);
    context.out << (options->format == AuditFormat::json ? auditJSON(run, outcome)
                                                         : auditText(run, outcome));
    return outcome.reported.empty() || !options->writeBaseline.empty()
               ? exitOK
               : exitFindingsOutsideBaseline;
  });
}

}  // namespace Host
