// Benchmark: how long cancelling takes. Each run starts a default listing of a tree, lets it
// run for a while (the first argument, in milliseconds), and times StopGeneration until the
// worker has ended; the second argument is the number of threads reading folders (0: one per
// core). The tree is $ORVANE_CANCEL_BENCH_TREE, else the one bench/listing.sh makes. The time
// per iteration is the stop alone; the "longest" counter is the slowest stop of the runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "engine/listing_engine.h"

namespace {

std::string TreePath() {
  const char* given = std::getenv("ORVANE_CANCEL_BENCH_TREE");
  return given && *given ? std::string(given) : std::string("/tmp/orvane-bench/tree200k");
}

void BM_CancelListing(benchmark::State& state) {
  const std::string tree = TreePath();
  const std::string out = "/tmp/orvane-cancel-bench.txt";
  double longest = 0;
  bool allCancelled = true;
  for (auto _ : state) {
    orvane::CListingEngine engine;
    orvane::ListingJob job;
    job.checkedDirs[tree] = orvane::DirCheck::kWithSubdirs;
    job.outputPath = out;
    job.scanThreads = static_cast<int>(state.range(1));
    engine.StartGeneration(job);
    std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
    const auto start = std::chrono::steady_clock::now();
    engine.StopGeneration();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    longest = std::max(longest, took.count() * 1000);
    allCancelled &= engine.LastJobCancelled();
  }
  state.counters["longest_ms"] = longest;
  if (!allCancelled) state.SkipWithError("a listing ended before it was cancelled: a larger tree");
}
BENCHMARK(BM_CancelListing)
    ->ArgsProduct({{20, 60, 150}, {1, 0}})
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
