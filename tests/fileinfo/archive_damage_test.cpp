// Damaged containers: every fuzz seed (compound files, zip and rar archives) replayed truncated
// and with bytes changed. Nothing may crash, hang or read outside its input (the sanitizer build
// runs these too), and member names must stay inside the archive whatever the damage.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "archive_recorder.h"
#include "fileinfo/compound_file.h"
#include "fileinfo/doc_properties.h"
#include "fileinfo/rar_lister.h"
#include "fileinfo/rar_reader.h"
#include "fileinfo/zip_lister.h"
#include "test_util.h"

namespace orvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> Seeds(const std::string& name) {
  std::vector<Bytes> out;
  const std::filesystem::path dir = std::filesystem::path(ORVANE_SOURCE_DIR) / "fuzz/seeds" / name;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string s = test::ReadFile(entry.path().string());
    out.emplace_back(s.begin(), s.end());
  }
  EXPECT_FALSE(out.empty()) << "no seeds in " << dir;
  return out;
}

// Calls check with each damaged copy of each seed: every truncation of the first kilobyte and
// a sample of the longer ones, then single bit flips and overwritten words at pseudo-random
// places (the same places on every run).
void ForEachDamagedCopy(const std::string& seedDir,
                        const std::function<void(const Bytes&)>& check) {
  std::uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1103515245 + 12345;
    return state >> 8;
  };
  for (const Bytes& seed : Seeds(seedDir)) {
    for (std::size_t len = 0; len < seed.size(); len += len < 1024 ? 1 : 61)
      check(Bytes(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(len)));
    for (int round = 0; round < 400 && !seed.empty(); ++round) {
      Bytes copy = seed;
      const std::size_t at = next() % copy.size();
      if (round % 2 == 0) {
        copy[at] ^= static_cast<std::uint8_t>(1u << (next() % 8));
      } else {
        static const std::uint32_t kWords[] = {0,          0xFFFFFFFF, 0x7FFFFFFF,
                                               0xFFFFFFFE, 0x80000000, 1};
        const std::uint32_t w = kWords[next() % 6];
        for (std::size_t k = 0; k < 4 && at + k < copy.size(); ++k)
          copy[at + k] = static_cast<std::uint8_t>(w >> (8 * k));
      }
      check(copy);
    }
  }
}

// True when name, joined to an archive path, stays below it.
bool StaysInside(const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos || name.find('\\') != std::string::npos)
    return false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && name[i] != '/') continue;
    const std::string part = name.substr(start, i - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = i + 1;
  }
  return true;
}

void CheckMembers(const test::ArchiveRecorder& rec) {
  for (const ArchiveMember& m : rec.members) ASSERT_TRUE(StaysInside(m.name)) << m.name;
}

TEST(Damage, CompoundFiles) {
  ForEachDamagedCopy("compound_file", [](const Bytes& bytes) {
    DocProperties props;
    ReadDocumentProperties(bytes, props);
    CompoundFile cf;
    if (!cf.Open(bytes)) return;
    Bytes stream;
    for (std::size_t i = 0; i < cf.Entries().size() && i < 16; ++i)
      cf.ReadStream(static_cast<int>(i), 1 << 20, stream);
  });
}

TEST(Damage, ZipArchivesListAsDirectoriesWithSafeNames) {
  ForEachDamagedCopy("zip", [](const Bytes& bytes) {
    test::ArchiveRecorder rec;
    ListZipArchive(bytes, "/d", "a.zip", rec, 0);
    ASSERT_EQ(rec.begins, 1);
    ASSERT_EQ(rec.ends, 1);
    CheckMembers(rec);
  });
}

TEST(Damage, RarArchivesListWhatTheyCanWithSafeNames) {
  ForEachDamagedCopy("rar", [](const Bytes& bytes) {
    test::ArchiveRecorder rec;
    ListRarArchive(bytes, "/d", "a.rar", rec, 0);
    ASSERT_EQ(rec.begins, rec.ends);
    CheckMembers(rec);
    RarReader unchecked;  // without header checksums the damage reaches the field parsing
    unchecked.SetCheckHeaderCrc(false);
    if (unchecked.Open(bytes) != RarStatus::kOk) return;
    RarFileHeader h;
    int headers = 0;
    while (unchecked.ReadHeader(h) == RarStatus::kOk && unchecked.Skip() == RarStatus::kOk)
      ASSERT_LT(++headers, 1000);
  });
}

}  // namespace
}  // namespace orvane
