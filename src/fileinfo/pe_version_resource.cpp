// The version resource itself: a tree of blocks, each with a length, a value length, a type, a
// UTF-16 key and a value, its children following on 32-bit boundaries. The root ("VS_VERSION_INFO")
// holds the 52-byte fixed part; "StringFileInfo" holds one string table per translation;
// "VarFileInfo" holds "Translation", the list of language and code-page pairs.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>

#include "base/unicode.h"
#include "fileinfo/byte_cursor.h"
#include "fileinfo/language_names.h"
#include "fileinfo/pe_version.h"

namespace orvane {

namespace {

constexpr std::size_t kFixedPartSize = 52;

using Bytes = std::span<const std::uint8_t>;

struct Block {
  std::size_t start = 0, end = 0;  // the block, clipped to its parent
  std::size_t next = 0;            // where the next sibling starts
  Bytes key;                       // UTF-16LE, without the terminating zero
  std::uint16_t valueLength = 0;   // bytes, or characters for text values
  std::size_t valueStart = 0, valueEnd = 0;
  std::size_t childrenStart = 0;
};

std::size_t Align4(std::size_t pos) {
  return (pos + 3) & ~static_cast<std::size_t>(3);
}

std::uint16_t U16At(Bytes res, std::size_t pos) {
  return static_cast<std::uint16_t>(res[pos] | res[pos + 1] << 8);
}

// Reads the block at pos, which must end by limit. Positions are offsets in the resource, whose
// start is 32-bit aligned.
bool ReadBlock(Bytes res, std::size_t pos, std::size_t limit, Block& b) {
  if (limit > res.size() || pos >= limit || limit - pos < 6) return false;
  const std::uint16_t length = U16At(res, pos);
  if (length < 6) return false;
  b.start = pos;
  b.end = std::min<std::size_t>(pos + length, limit);
  b.next = Align4(pos + length);
  b.valueLength = U16At(res, pos + 2);
  const bool text = U16At(res, pos + 4) == 1;
  std::size_t p = pos + 6;
  while (p + 2 <= b.end && U16At(res, p) != 0) p += 2;
  if (p + 2 > b.end) return false;  // key without its terminating zero
  b.key = res.subspan(pos + 6, p - (pos + 6));
  b.valueStart = std::min(Align4(p + 2), b.end);
  const std::size_t valueBytes = text ? std::size_t{b.valueLength} * 2 : b.valueLength;
  b.valueEnd = std::min(b.valueStart + valueBytes, b.end);
  b.childrenStart = std::min(Align4(b.valueEnd), b.end);
  return true;
}

// Keys compare without regard to ASCII case.
bool KeyIs(Bytes key, std::string_view name) {
  if (key.size() != name.size() * 2) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const std::uint16_t c = U16At(key, 2 * i);
    auto lower = [](unsigned ch) { return ch >= 'A' && ch <= 'Z' ? ch + 32 : ch; };
    if (lower(c) != lower(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

// The first child of parent with the key. Every step moves at least 8 bytes forward.
bool FindChild(Bytes res, const Block& parent, std::string_view key, Block& child) {
  std::size_t pos = parent.childrenStart;
  while (pos < parent.end && ReadBlock(res, pos, parent.end, child)) {
    if (KeyIs(child.key, key)) return true;
    pos = child.next;
  }
  return false;
}

bool FindPath(Bytes res, const Block& root, std::initializer_list<std::string_view> path,
              Block& out) {
  Block current = root;
  for (std::string_view key : path) {
    Block child;
    if (!FindChild(res, current, key, child)) return false;
    current = child;
  }
  out = current;
  return true;
}

// A string value of the table: taken when present with a value length above 0. The text runs to
// its terminating zero, within the block.
bool TakeString(Bytes res, const Block& table, std::string_view name, std::string& out) {
  Block value;
  if (!FindChild(res, table, name, value) || value.valueLength == 0) return false;
  out = Utf16LeToUtf8(res.subspan(value.valueStart, value.end - value.valueStart), true);
  return true;
}

std::string HexWord(std::uint16_t v) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s(4, '0');
  for (int i = 0; i < 4; ++i) s[i] = kDigits[(v >> (12 - 4 * i)) & 15];
  return s;
}

}  // namespace

bool ParseVersionResource(std::span<const std::uint8_t> res, VersionInfo& info) {
  Block root;
  if (!ReadBlock(res, 0, res.size(), root) || root.end - root.start != U16At(res, 0))
    return false;  // the root block is not all there

  bool fixed = false;
  std::uint64_t fileNumber = 0, productNumber = 0;
  if (root.valueLength == kFixedPartSize && root.valueEnd - root.valueStart == kFixedPartSize) {
    ByteCursor c(res.subspan(root.valueStart, kFixedPartSize));
    std::uint32_t fileMs = 0, fileLs = 0, productMs = 0, productLs = 0;
    fixed =
        c.Skip(8) && c.U32LE(fileMs) && c.U32LE(fileLs) && c.U32LE(productMs) && c.U32LE(productLs);
    fileNumber = std::uint64_t{fileMs} << 32 | fileLs;
    productNumber = std::uint64_t{productMs} << 32 | productLs;
  }

  bool fileSettled = false, productSettled = false;
  Block translation;
  if (FindPath(res, root, {"VarFileInfo", "Translation"}, translation) &&
      translation.valueEnd - translation.valueStart >= 4) {
    // Only the first translation counts.
    const std::uint16_t language = U16At(res, translation.valueStart);
    const std::uint16_t codePage = U16At(res, translation.valueStart + 2);
    Block table;
    if (FindPath(res, root, {"StringFileInfo", HexWord(language) + HexWord(codePage)}, table)) {
      if ((!fixed || fileNumber == 0) && TakeString(res, table, "FileVersion", info.fileVersion)) {
        info.fileVersionNumber = 0;
        fileSettled = true;
      }
      if ((!fixed || productNumber == 0) &&
          TakeString(res, table, "ProductVersion", info.productVersion)) {
        info.productVersionNumber = 0;
        productSettled = true;
      }
      TakeString(res, table, "ProductName", info.productName);
      TakeString(res, table, "FileDescription", info.description);
      TakeString(res, table, "LegalCopyright", info.copyright);
      TakeString(res, table, "CompanyName", info.company);
      TakeString(res, table, "Comments", info.comments);
    }
    info.language = LanguageName(language);
  }

  // A version in the fixed part wins over the string table's text.
  if (fixed && !fileSettled && fileNumber != 0) {
    info.fileVersion = FormatVersionNumber(fileNumber);
    info.fileVersionNumber = fileNumber;
  }
  if (fixed && !productSettled && productNumber != 0) {
    info.productVersion = FormatVersionNumber(productNumber);
    info.productVersionNumber = productNumber;
  }
  return true;
}

}  // namespace orvane
