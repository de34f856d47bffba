// Costs of the content state's coding, equality and hashing, against the
// floor that no decoder can beat: the parser's own pass over the same bytes.
#include <benchmark/benchmark.h>
#include <simdjson.h>

#include <ctime>
#include <string>

#include "bench/TypicalState.h"
#include "model/DownloadActivityAttributes.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"

namespace {

using bench::decodedState;
using bench::typicalState;

void ParseOnly(benchmark::State& state) {
  simdjson::dom::parser parser;
  simdjson::padded_string input(typicalState);
  for (auto _ : state) {
    simdjson::dom::element root;
    auto error = parser.parse(input).get(root);
    benchmark::DoNotOptimize(error);
    benchmark::DoNotOptimize(root);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * typicalState.size()));
}
BENCHMARK(ParseOnly);

// The parse plus one walk over the top-level members and the array's
// elements, reading each value's type and nothing else: the floor of any
// decoder built on the parsed document.
void ParseAndWalk(benchmark::State& state) {
  simdjson::dom::parser parser;
  simdjson::padded_string input(typicalState);
  for (auto _ : state) {
    simdjson::dom::element root;
    auto error = parser.parse(input).get(root);
    benchmark::DoNotOptimize(error);
    std::size_t sum = 0;
    for (auto field : simdjson::dom::object(root)) {
      sum += field.key.size() + static_cast<std::size_t>(field.value.type());
      if (field.value.type() == simdjson::dom::element_type::ARRAY) {
        for (simdjson::dom::element item : simdjson::dom::array(field.value))
          sum += static_cast<std::size_t>(item.type());
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(ParseAndWalk);

void DecodeContentState(benchmark::State& state) {
  Foundation::JSONDecoder decoder;
  for (auto _ : state) {
    auto result = decoder.decode<tolvane::ContentState>(typicalState);
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * typicalState.size()));
}
BENCHMARK(DecodeContentState);

void EncodeContentState(benchmark::State& state) {
  const tolvane::ContentState value = decodedState();
  Foundation::JSONEncoder encoder;
  for (auto _ : state) {
    auto result = encoder.encode(value);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(EncodeContentState);

void EqualityAndHash(benchmark::State& state) {
  const tolvane::ContentState a = decodedState();
  const tolvane::ContentState b = decodedState();
  for (auto _ : state) {
    bool equal = a == b;
    std::size_t hash = std::hash<tolvane::ContentState>{}(a);
    benchmark::DoNotOptimize(equal);
    benchmark::DoNotOptimize(hash);
  }
}
BENCHMARK(EqualityAndHash);

// Equality when the names differ in bytes but not in characters (é composed
// against decomposed), which takes the canonical comparison.
void EqualityOfEquivalentTexts(benchmark::State& state) {
  tolvane::ContentState a = decodedState();
  tolvane::ContentState b = decodedState();
  a.currentFileName = "Caf\xc3\xa9 Num\xc3\xa9ros.ipa";
  b.currentFileName = "Cafe\xcc\x81 Nume\xcc\x81ros.ipa";
  for (auto _ : state) {
    bool equal = a == b;
    benchmark::DoNotOptimize(equal);
  }
}
BENCHMARK(EqualityOfEquivalentTexts);

// Decode time over parse time, measured back to back in one run; the
// target is at most 1.5.
void DecodeOverParseRatio(benchmark::State& state) {
  // Thread CPU time, so that other processes on the machine do not skew it.
  auto cpuNow = [] {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
  };
  constexpr int rounds = 20000;
  simdjson::dom::parser parser;
  simdjson::padded_string input(typicalState);
  Foundation::JSONDecoder decoder;
  double ratio = 0;
  for (auto _ : state) {
    double start = cpuNow();
    for (int i = 0; i < rounds; ++i) {
      simdjson::dom::element root;
      auto error = parser.parse(input).get(root);
      benchmark::DoNotOptimize(error);
      benchmark::DoNotOptimize(root);
    }
    double parsed = cpuNow();
    for (int i = 0; i < rounds; ++i) {
      auto result = decoder.decode<tolvane::ContentState>(typicalState);
      benchmark::DoNotOptimize(result);
    }
    double decoded = cpuNow();
    ratio = (decoded - parsed) / (parsed - start);
  }
  state.counters["decode/parse"] = ratio;
}
BENCHMARK(DecodeOverParseRatio)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
