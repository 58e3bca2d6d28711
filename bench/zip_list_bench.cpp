// Benchmark: listing a zip archive of 100,000 members as a directory (ListZipArchive into a
// sink that only counts). The archive is $ORVANE_ZIP_BENCH_FILE when set (bench/zip_list.sh
// passes the one it times the other tools on), else one made here with minizip.
#include <benchmark/benchmark.h>
#include <minizip/zip.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fileinfo/zip_lister.h"

namespace {

constexpr int kMembers = 100000;

class CountingSink : public orvane::ArchiveSink {
 public:
  void BeginArchiveDir(const std::string&, const std::string&, int) override {}
  void AddArchiveEntry(const std::string&, const orvane::ArchiveMember& m) override {
    ++members;
    bytes += m.name.size();
  }
  void EndArchiveDir(const std::string&, const std::string&, std::uint64_t) override {}
  std::size_t members = 0;
  std::size_t bytes = 0;
};

// Writes kMembers tiny stored members in 100 folders; returns the archive's path.
std::string MakeArchive() {
  const char* tmp = std::getenv("TMPDIR");
  const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/orvane-zip-bench.zip";
  zipFile zf = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (!zf) return std::string();
  char name[64];
  for (int i = 0; i < kMembers; ++i) {
    std::snprintf(name, sizeof name, "dir%02d/file%06d.txt", i % 100, i);
    zip_fileinfo info{};
    zipOpenNewFileInZip64(zf, name, &info, nullptr, 0, nullptr, 0, nullptr, 0, 0, 0);
    zipWriteInFileInZip(zf, name, 4);
    zipCloseFileInZip(zf);
  }
  zipClose(zf, nullptr);
  return path;
}

const std::string& ArchivePath() {
  static const std::string path = [] {
    const char* given = std::getenv("ORVANE_ZIP_BENCH_FILE");
    return given && *given ? std::string(given) : MakeArchive();
  }();
  return path;
}

void BM_ListZipArchive(benchmark::State& state) {
  const std::string& path = ArchivePath();
  const std::string dir = path.substr(0, path.rfind('/'));
  const std::string name = path.substr(path.rfind('/') + 1);
  std::size_t members = 0;
  for (auto _ : state) {
    CountingSink sink;
    orvane::ListZipArchive(dir, name, sink, 0);
    members = sink.members;
    benchmark::DoNotOptimize(sink.bytes);
  }
  state.counters["members"] = static_cast<double>(members);
  if (members == 0) state.SkipWithError("the archive listed no members");
}
BENCHMARK(BM_ListZipArchive)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
