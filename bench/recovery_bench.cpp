// Seed search rate of each engine this CPU supports, on one thread and on
// all, over ten million ten-digit seeds (the commonest length) with one
// target that no seed has. Full passes are timed by recovery_vs_hashcat.sh.
#include <benchmark/benchmark.h>

#include <thread>

#include "identifier/md5.h"
#include "recovery/seed_search.h"

namespace {

constexpr std::int32_t kFirstSeed = 1000000000;
constexpr std::int32_t kSeedCount = 10000000;

void BM_SeedSearch(benchmark::State& state, hwid::SearchEngine engine, unsigned threads) {
  const std::vector<hwid::IdentifierDigest> targets = {
      *hwid::parse_identifier(hwid::md5_hex("not a seed text"))};
  hwid::SearchOptions options;
  options.engine = engine;
  options.threads = threads;
  options.range = {kFirstSeed, kFirstSeed + kSeedCount - 1};
  for (auto _ : state) {
    const auto found = hwid::recover_seeds(targets, options);
    if (found[0]) state.SkipWithError("found a seed for a digest no seed has");
  }
  state.counters["seeds/s"] = benchmark::Counter(
      static_cast<double>(kSeedCount) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}

// Registered at start-up: only the engines this CPU can run.
const bool kRegistered = [] {
  const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
  for (hwid::SearchEngine engine : hwid::supported_engines()) {
    for (unsigned threads : {1U, cores}) {
      benchmark::RegisterBenchmark(
          (std::string("BM_SeedSearch/") + hwid::engine_name(engine) +
           "/threads:" + std::to_string(threads))
              .c_str(),
          BM_SeedSearch, engine, threads)
          ->UseRealTime()
          ->Unit(benchmark::kMillisecond);
      if (cores == 1) break;
    }
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
