#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Clock.h"
#include "platform/host/Audit.h"
#include "platform/host/AuditReport.h"
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

// A validator for a name `parse` knows, or "all".
template <typename Parse>
CLI::Validator orAll(Parse parse, const std::string& names, const std::string& description) {
  return detail::namedValueValidator(
      [parse](const std::string& value) { return value == "all" || parse(value); }, names + ", all",
      description);
}

}  // namespace

void installAuditCommand(CLI::App& app, HostContext& context) {
  struct Options {
    std::vector<std::string> states;
    std::string presentation = "all";
    std::string appearance = "all";
    std::string textSize = "all";
    std::string screen = "all";
    std::optional<double> now;
    std::string format = "text";
    std::string baseline;
    std::string writeBaseline;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand(
      "audit", "Report what is cut off, broken inside a word, too faint or too small to tap");
  command->add_option("state", options->states,
                      "JSON files of content states, - for standard input; the sample states "
                      "when left out");
  command
      ->add_option("--presentation", options->presentation,
                   "lock-screen, expanded, compact, minimal or all (the default)")
      ->check(CLI::IsMember({"lock-screen", "expanded", "compact", "minimal", "all"}));
  command->add_option("--appearance", options->appearance, "dark, light or all (the default)")
      ->check(orAll([](const std::string& v) { return SwiftUI::Drawing::appearanceNamed(v); },
                    "dark, light", "APPEARANCE"));
  command->add_option("--text-size", options->textSize, "A text size or all (the default)")
      ->check(orAll([](const std::string& v) { return SwiftUI::Drawing::dynamicTypeSizeNamed(v); },
                    "xSmall … accessibility5", "SIZE"));
  command->add_option("--screen", options->screen, "393x852, 430x932 or all (the default)")
      ->check(orAll([](const std::string& v) { return screenSizeNamed(v); }, "393x852, 430x932",
                    "WxH"));
  command
      ->add_option("--now", options->now,
                   "The current date, in seconds since 2001-01-01 00:00:00 UTC")
      ->check(detail::secondsValidator());
  command->add_option("--format", options->format, "text (the default) or json")
      ->check(CLI::IsMember({"text", "json"}));
  command->add_option("--baseline", options->baseline,
                      "Accept the findings recorded in this file; report the others");
  command->add_option("--write-baseline", options->writeBaseline,
                      "Record the findings in this file");

  command->callback([options, &context] {
    std::vector<AuditSubject> subjects;
    const auto add = [&](std::string name, std::string_view json, Foundation::Date now) -> bool {
      auto presentations = context.activity.presentContentState(json, now);
      if (!presentations) {
        context.fail(exitDataError, name + ": " + decodingErrorMessage(presentations.error()));
        return false;
      }
      subjects.push_back({std::move(name), std::move(*presentations), now});
      return true;
    };
    if (options->states.empty()) {
      const ActivityPreviews& previews = context.activity.previews;
      if (previews.states.empty()) {
        context.fail(exitUsage, "give a state: the activity has no sample states");
        return;
      }
      const Foundation::Date now = options->now ? Foundation::Date(*options->now) : previews.now;
      for (const ActivityPreviewState& state : previews.states) {
        if (!add(std::string(state.id), state.json, now)) return;
      }
    } else {
      const Foundation::Date now =
          options->now ? Foundation::Date(*options->now) : Foundation::currentDate();
      for (const std::string& path : options->states) {
        auto payload = readPayload(context, path);
        if (!payload) {
          context.fail(payload.error());
          return;
        }
        if (!add(path, *payload, now)) return;
      }
    }

    std::optional<Baseline> baseline;
    if (!options->baseline.empty()) {
      auto text = readInput(context, options->baseline);
      if (!text) {
        context.fail(text.error());
        return;
      }
      auto parsed = parseBaseline(*text);
      if (!parsed) {
        context.fail(exitDataError, "baseline " + options->baseline + ": " + parsed.error());
        return;
      }
      baseline = std::move(*parsed);
    }

    std::vector<PresentationKind> kinds(allPresentationKinds.begin(), allPresentationKinds.end());
    if (options->presentation != "all") kinds = {*presentationKind(options->presentation)};
    std::vector<PictureVariant> variants;
    for (const PictureVariant& variant : allPictureVariants()) {
      const auto chosen = [](const std::string& option, std::string_view name) {
        return option == "all" || option == name;
      };
      if (chosen(options->appearance, SwiftUI::Drawing::appearanceName(variant.appearance)) &&
          chosen(options->textSize, SwiftUI::Drawing::dynamicTypeSizeName(variant.textSize)) &&
          chosen(options->screen, nameOf(variant.screen))) {
        variants.push_back(variant);
      }
    }

    const SwiftUI::Drawing::PangoTextMeasurer measurer;
    const AuditRun run = auditSubjects(measurer, subjects, kinds, variants);
    if (!options->writeBaseline.empty()) {
      const std::string file = baselineJSON(run.findings);
      if (auto written =
              SwiftUI::Drawing::writeFile(options->writeBaseline, file.data(), file.size());
          !written) {
        detail::failOutput(context, written.error());
        return;
      }
    }
    const AuditOutcome outcome = compareWithBaseline(run, baseline);
    context.out << (options->format == "json" ? auditJSON(run, outcome) : auditText(run, outcome));
    context.exitCode = outcome.reported.empty() || !options->writeBaseline.empty()
                           ? exitOK
                           : exitFindingsOutsideBaseline;
  });
}

}  // namespace Host
