#include "settings/text_file.h"

#include <algorithm>

#include "base/unicode.h"
#include "platform/file_source.h"
#include "platform/user_folders.h"

namespace orvane {
namespace {

bool LooksLikeUtf16(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 2 || bytes.size() % 2 != 0) return false;
  std::size_t oddNuls = 0, evenNuls = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == 0) ++(i % 2 ? oddNuls : evenNuls);
  }
  return oddNuls > 0 && oddNuls >= bytes.size() / 4 && evenNuls == 0;
}

void SplitLines(const std::string& text, std::vector<std::string>& lines) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
}

}  // namespace

TextReadStatus DecodeTextLines(std::span<const std::uint8_t> bytes, NoMarkAs noMark,
                               std::size_t maxSize, std::vector<std::string>& lines, NulChars nul) {
  lines.clear();
  if (bytes.size() > maxSize) return TextReadStatus::kTooLarge;
  std::string text;
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    text.assign(bytes.begin() + 3, bytes.end());
  } else if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    text = Utf16LeToUtf8(bytes.subspan(2), false);
  } else if (noMark == NoMarkAs::kGuessUtf16 && LooksLikeUtf16(bytes)) {
    text = Utf16LeToUtf8(bytes, false);
  } else {
    text.assign(bytes.begin(), bytes.end());
  }
  if (nul == NulChars::kRejectFile && text.find('\0') != std::string::npos)
    return TextReadStatus::kNotText;
  SplitLines(text, lines);
  return TextReadStatus::kOk;
}

TextReadStatus ReadTextLines(const std::string& path, NoMarkAs noMark, std::size_t maxSize,
                             std::vector<std::string>& lines, NulChars nul) {
  lines.clear();
  PathKind kind = GetPathKind(path);
  if (kind == PathKind::kMissing) return TextReadStatus::kMissing;
  if (kind != PathKind::kRegular) return TextReadStatus::kUnreadable;
  FileSource source;
  if (!source.Open(path)) return TextReadStatus::kUnreadable;
  if (source.Size() > maxSize) return TextReadStatus::kTooLarge;
  std::vector<std::uint8_t> bytes;
  if (source.Size() > 0 && !source.ReadAt(0, static_cast<std::size_t>(source.Size()), bytes))
    return TextReadStatus::kUnreadable;
  return DecodeTextLines(bytes, noMark, maxSize, lines, nul);
}

const char* DescribeReadStatus(TextReadStatus status) {
  switch (status) {
    case TextReadStatus::kOk:
      return "read";
    case TextReadStatus::kMissing:
      return "does not exist";
    case TextReadStatus::kUnreadable:
      return "cannot be read";
    case TextReadStatus::kTooLarge:
      return "is too large";
    case TextReadStatus::kNotText:
      return "is not a text file";
  }
  return "cannot be read";
}

}  // namespace orvane
