// Damaged and random files through every reader of settings, configuration, style and
// selection files: nothing may crash, hang or throw, whatever the bytes.
#include <gtest/gtest.h>

#include <random>

#include "base/numbers.h"
#include "settings/config_files.h"
#include "settings/selection_file.h"
#include "writers/html_style.h"

namespace orvane {
namespace {

void ReadEverything(const std::vector<std::uint8_t>& bytes) {
  CProfile profile;
  profile.LoadBytes(bytes);
  COptionPages pages(0);
  CNamedSettings named;
  ReadOptions(profile, pages, named, {});
  CListingOptions options;
  CProgramOptions program;
  pages.Apply(options, program, 0);
  std::vector<std::string> lines;
  DecodeTextLines(bytes, NoMarkAs::kGuessUtf16, kMaxSelectionFileSize, lines);
  CheckedDirs selection;
  ParseSelectionLines(lines, selection);
  std::string text(bytes.begin(), bytes.end());
  CColumnOrderList order;
  order.Decode(text);
  EXPECT_EQ(order.Size(), 54u);
  CHtmlStyle style;
  StyleFromValue(text, style, 96);
  EXPECT_LE(style.lfFont.lfFaceName.size(), 4u * kFaceNameMax);
}

TEST(ConfigRobustness, RandomBytes) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::uint8_t> bytes(rng() % 2048);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    if (round % 3 == 1 && bytes.size() >= 2) bytes[0] = 0xFF, bytes[1] = 0xFE;
    ReadEverything(bytes);
  }
}

TEST(ConfigRobustness, DamagedSettingsFile) {
  // A real file, then every key's value replaced by hostile texts.
  COptionPages pages(0);
  CProfile good;
  WriteOptions(good, true, pages, CNamedSettings{});
  const std::string hostile[] = {
      "",         "-1",          "99999999999999999999", "2147483648", "|||,,,|",
      "\xFF\xFE", "-2147483648", std::string(5000, '9'), "1,2|3,4"};
  for (const std::string& value : hostile) {
    std::string text;
    for (const std::string& line : good.Lines()) {
      std::size_t eq = line.find('=');
      text += eq == std::string::npos ? line : line.substr(0, eq + 1) + value;
      text += '\n';
    }
    ReadEverything(std::vector<std::uint8_t>(text.begin(), text.end()));
  }
  // Cut files: every length of a real file.
  const std::string full = good.ToBytes();
  for (std::size_t n = 0; n < full.size(); n += 37)
    ReadEverything(std::vector<std::uint8_t>(full.begin(), full.begin() + n));
}

}  // namespace
}  // namespace orvane
