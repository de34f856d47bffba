// What auditing costs beside drawing.
//
// - AuditSampleStates: every sample state's four presentations in all 48
//   variants (2,880 presentations), placed and audited with a fresh
//   measurer and auditor an iteration, as one `audit` run has.
//   `per_presentation` is the time of one.
// - AuditToGallery: in each iteration both the audit above and the
//   gallery's 300 pictures (15 states, 4 presentations, 5 variants) drawn
//   and encoded as PNG at 3 pixels a point (in memory: the files' writing
//   is left out, to the gallery's favour). Reports `audit_ms`, `gallery_ms`
//   and `ratio` = audit / gallery. Target: ratio at most 1.0.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "bench/SampleStates.h"
#include "platform/host/Audit.h"
#include "platform/host/GalleryVariant.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"
#include "platform/widgetkit/PresentationRenderer.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::vector<Host::AuditSubject>& subjects() {
  static const auto all = [] {
    std::vector<Host::AuditSubject> out;
    const auto& previews = bench::activity().previews;
    for (std::size_t i = 0; i < previews.states.size(); ++i) {
      out.push_back({std::string(previews.states[i].id), bench::samples()[i], previews.now});
    }
    return out;
  }();
  return all;
}

std::size_t auditAll() {
  const SwiftUI::Drawing::PangoTextMeasurer measurer;
  const std::vector<WidgetKit::PresentationKind> kinds(WidgetKit::allPresentationKinds.begin(),
                                                       WidgetKit::allPresentationKinds.end());
  return Host::auditSubjects(measurer, subjects(), kinds, Host::allPictureVariants())
      .findings.size();
}

std::size_t drawGallery() {
  const SwiftUI::Drawing::PangoTextMeasurer measurer;
  WidgetKit::PresentationRenderer renderer(measurer);
  std::string png;
  std::size_t bytes = 0;
  for (const Host::AuditSubject& subject : subjects()) {
    for (const Host::GalleryVariant& variant : Host::galleryVariants) {
      renderer.setVariant(variant.picture);
      for (auto kind : WidgetKit::allPresentationKinds) {
        png.clear();
        const auto picture = renderer.picture(subject.presentations, kind, subject.now);
        if (!WidgetKit::encodePicture(picture, WidgetKit::PictureFormat::png, 3, png)) std::abort();
        bytes += png.size();
      }
    }
  }
  return bytes;
}

double millisecondsOf(std::size_t (*work)()) {
  const auto start = Clock::now();
  benchmark::DoNotOptimize(work());
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void BM_AuditSampleStates(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(auditAll());
  state.counters["per_presentation"] = benchmark::Counter(
      static_cast<double>(subjects().size() * 4 * Host::allPictureVariants().size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AuditSampleStates)->Unit(benchmark::kMillisecond);

void BM_AuditToGallery(benchmark::State& state) {
  double audit = 0, gallery = 0;
  for (auto _ : state) {
    audit += millisecondsOf(&auditAll);
    gallery += millisecondsOf(&drawGallery);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["audit_ms"] = audit / n;
  state.counters["gallery_ms"] = gallery / n;
  state.counters["ratio"] = audit / gallery;
}
BENCHMARK(BM_AuditToGallery)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
