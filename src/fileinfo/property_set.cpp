#include "fileinfo/property_set.h"

#include <algorithm>
#include <string_view>

#include "base/unicode.h"
#include "fileinfo/byte_cursor.h"
#include "platform/codepage.h"

namespace orvane {
namespace {

constexpr std::uint32_t kCodePageProperty = 1;
constexpr int kCodePageUtf16 = 1200;

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A byte string in the section's code page to UTF-8. A code page the system cannot convert
// falls back to the ANSI code page.
std::string DecodeCodePageString(std::span<const std::uint8_t> bytes, int codePage) {
  if (codePage == kCodePageUtf16) return Utf16LeToUtf8(bytes);
  std::string_view s(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  s = s.substr(0, s.find('\0'));
  if (s.empty()) return std::string();
  if (IsAscii(s)) return std::string(s);
  std::string text = CodePageToUtf8(s, codePage);
  return text.empty() ? AnsiToUtf8(s) : text;
}

// Decodes the value at the cursor into p; false for a type that is not shown or a value that
// does not fit in the section.
bool ReadValue(ByteCursor c, int codePage, Property& p) {
  std::uint16_t type = 0, padding = 0;
  if (!c.U16LE(type) || !c.U16LE(padding)) return false;
  std::uint32_t count = 0;
  std::span<const std::uint8_t> bytes;
  switch (type) {
    case kVtI2: {
      std::uint16_t v = 0;
      if (!c.U16LE(v)) return false;
      p.kind = Property::Kind::kNumber;
      p.number = static_cast<std::int16_t>(v);
      return true;
    }
    case kVtI4: {
      std::uint32_t v = 0;
      if (!c.U32LE(v)) return false;
      p.kind = Property::Kind::kNumber;
      p.number = static_cast<std::int32_t>(v);
      return true;
    }
    case kVtFiletime:
      p.kind = Property::Kind::kTime;
      return c.U64LE(p.fileTime);
    case kVtLpstr:
    case kVtBstr:  // stored like VT_LPSTR: a byte count and bytes in the section's code page
      if (!c.U32LE(count)) return false;
      c.Sub(std::min<std::uint64_t>(count, c.Remaining()), bytes);
      p.kind = Property::Kind::kString;
      p.text = DecodeCodePageString(bytes, codePage);
      return true;
    case kVtLpwstr:
      if (!c.U32LE(count)) return false;
      c.Sub(std::min<std::uint64_t>(std::uint64_t{count} * 2, c.Remaining()), bytes);
      p.kind = Property::Kind::kString;
      p.text = Utf16LeToUtf8(bytes);
      return true;
    default:
      return false;  // vectors, arrays, by-reference values and other types
  }
}

// Finds the offset of the section with the given format identifier.
bool FindSection(std::span<const std::uint8_t> stream, const FormatId& fmtid,
                 std::uint32_t& offset) {
  ByteCursor c(stream);
  std::uint16_t byteOrder = 0;
  std::uint32_t sections = 0;
  if (!c.U16LE(byteOrder) || byteOrder != 0xFFFE || !c.Skip(2 + 4 + 16) || !c.U32LE(sections))
    return false;
  for (std::uint32_t i = 0; i < sections; ++i) {
    FormatId id{};
    if (!c.Bytes(id.size(), id.data()) || !c.U32LE(offset)) return false;
    if (id == fmtid) return true;
  }
  return false;
}

}  // namespace

bool PropertySection::Open(std::span<const std::uint8_t> stream, const FormatId& fmtid) {
  m_section = {};
  m_slots.clear();
  m_codePage = AnsiCodePage();
  std::uint32_t offset = 0;
  if (!FindSection(stream, fmtid, offset) || offset > stream.size()) return false;
  ByteCursor head(stream.subspan(offset));
  std::uint32_t size = 0, count = 0;
  if (!head.U32LE(size) || !head.U32LE(count)) return false;
  m_section = stream.subspan(offset, std::min<std::size_t>(size, head.Size()));

  // The identifier/offset table follows the section header; it cannot hold more entries than
  // the section has bytes for.
  ByteCursor table(m_section);
  table.Skip(8);
  count = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, table.Remaining() / 8));
  m_slots.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    Slot s{};
    table.U32LE(s.id);
    table.U32LE(s.offset);
    m_slots.push_back(s);
  }

  Property cp;
  if (Get(kCodePageProperty, cp) && cp.kind == Property::Kind::kNumber && cp.number != 0)
    m_codePage = static_cast<std::uint16_t>(cp.number);  // stored as a 16-bit value
  return true;
}

bool PropertySection::Get(std::uint32_t id, Property& out) const {
  for (const Slot& s : m_slots) {
    if (s.id != id) continue;
    ByteCursor at(m_section);
    out = Property{};
    out.id = id;
    return id != 0 && at.Seek(s.offset) && ReadValue(at, m_codePage, out);  // 0: the dictionary
  }
  return false;
}

}  // namespace orvane
