// Throughput of the hash readers: the one-pass file hashing (CRC32, MD5, SHA-1, all three) over a
// large file in the page cache, and the bare digest routines over a buffer in memory.
//
// The file is $ORVANE_BENCH_FILE when set, otherwise a 512 MiB file of random bytes made once
// under $TMPDIR (default /tmp) as orvane-hash-bench.bin.
//
// "hashes_bench --tree DIR crc32,md5,sha1" instead hashes every regular file below DIR in one
// pass per file, as a listing does, and prints the number of files and bytes (bench/hashes.sh
// times it beside rhash, md5sum and sha1sum).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "fileinfo/crc32.h"
#include "fileinfo/hashes.h"
#include "fileinfo/md5.h"
#include "fileinfo/sha1.h"
#include "platform/file_source.h"

namespace {

using orvane::HashRequest;

const std::string& BenchFile() {
  static const std::string path = [] {
    if (const char* p = std::getenv("ORVANE_BENCH_FILE"); p && *p) return std::string(p);
    const char* tmp = std::getenv("TMPDIR");
    std::string p = std::string(tmp && *tmp ? tmp : "/tmp") + "/orvane-hash-bench.bin";
    orvane::FileSource existing(p);
    if (existing.IsOpen() && existing.Size() == (512u << 20)) return p;
    std::FILE* f = std::fopen(p.c_str(), "wb");
    if (!f) std::abort();
    std::mt19937_64 gen(42);
    std::vector<std::uint64_t> chunk(1 << 17);
    for (int i = 0; i < 512; ++i) {
      for (auto& v : chunk) v = gen();
      std::fwrite(chunk.data(), 8, chunk.size(), f);
    }
    std::fclose(f);
    return p;
  }();
  return path;
}

void HashFile(benchmark::State& state, HashRequest want) {
  const std::string& path = BenchFile();
  orvane::FileSource f(path);
  const auto size = static_cast<std::int64_t>(f.Size());
  orvane::HashResults warm;
  (void)orvane::ComputeHashes(path, want, nullptr, warm);  // page cache
  for (auto _ : state) {
    orvane::HashResults r;
    benchmark::DoNotOptimize(orvane::ComputeHashes(path, want, nullptr, r));
    benchmark::DoNotOptimize(r.crc32);
  }
  state.SetBytesProcessed(state.iterations() * size);
}

BENCHMARK_CAPTURE(HashFile, Crc32, HashRequest{true, false, false})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(HashFile, Md5, HashRequest{false, true, false})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(HashFile, Sha1, HashRequest{false, false, true})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(HashFile, All, HashRequest{true, true, true})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

const std::vector<std::uint8_t>& Buffer() {
  static const std::vector<std::uint8_t> buf = [] {
    std::vector<std::uint8_t> b(orvane::HashBufferSize);
    std::mt19937 gen(7);
    for (auto& x : b) x = static_cast<std::uint8_t>(gen());
    return b;
  }();
  return buf;
}

void MemCrc32(benchmark::State& state) {
  const auto engine = static_cast<orvane::Crc32Engine>(state.range(0));
  for (auto _ : state)
    benchmark::DoNotOptimize(orvane::Crc32UpdateWith(engine, orvane::kCrc32Preset, Buffer()));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Buffer().size()));
}
BENCHMARK(MemCrc32)->Arg(0)->Arg(1)->Arg(2);

void MemMd5(benchmark::State& state) {
  for (auto _ : state) {
    orvane::Md5Digest d;
    d.Update(Buffer());
    benchmark::DoNotOptimize(d.Final());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Buffer().size()));
}
BENCHMARK(MemMd5);

void MemSha1(benchmark::State& state) {
  const auto engine = static_cast<orvane::Sha1Engine>(state.range(0));
  for (auto _ : state) {
    orvane::Sha1Digest d(engine);
    d.Update(Buffer());
    benchmark::DoNotOptimize(d.Final());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Buffer().size()));
}
BENCHMARK(MemSha1)->Arg(0)->Arg(1);

int HashTree(const char* dir, const std::string& which) {
  HashRequest want;
  want.crc32 = which.find("crc32") != std::string::npos;
  want.md5 = which.find("md5") != std::string::npos;
  want.sha1 = which.find("sha1") != std::string::npos;
  std::uint64_t files = 0, bytes = 0;
  std::uint32_t mix = 0;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    orvane::HashResults r;
    (void)orvane::ComputeHashes(it->path().string(), want, nullptr, r);
    ++files;
    bytes += r.bytesHashed;
    mix ^= r.crc32 ^ static_cast<std::uint32_t>(r.md5.size() + r.sha1.size());
  }
  std::printf("%llu files, %llu bytes (%08x)\n", static_cast<unsigned long long>(files),
              static_cast<unsigned long long>(bytes), mix);
  return ec ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--tree") == 0) return HashTree(argv[2], argv[3]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
