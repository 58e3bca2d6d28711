// Property-set streams (the "\005SummaryInformation" kind of stream inside a compound file):
// finding the section of a format identifier and decoding its properties.
//
// Only the value types the listing shows are decoded: strings (VT_LPSTR and VT_BSTR in the
// section's code page, VT_LPWSTR), VT_FILETIME, VT_I2 and VT_I4. Vectors, arrays, by-reference
// values and every other type are skipped. Every offset, count and length in the stream is
// distrusted; a damaged stream yields fewer properties, never a read outside it. Pure functions,
// safe from any thread.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvane {

// A format identifier as its 16 bytes are stored (the first three fields little-endian).
using FormatId = std::array<std::uint8_t, 16>;

// {F29F85E0-4FF9-1068-AB91-08002B27B3D9}
inline constexpr FormatId kSummaryInformationId = {0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                                                   0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
// {D5CDD502-2E9C-101B-9397-08002B2CF9AE}
inline constexpr FormatId kDocSummaryInformationId = {
    0x02, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10, 0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};

// Value types of a property.
inline constexpr std::uint16_t kVtI2 = 2;
inline constexpr std::uint16_t kVtI4 = 3;
inline constexpr std::uint16_t kVtBstr = 8;
inline constexpr std::uint16_t kVtLpstr = 30;
inline constexpr std::uint16_t kVtLpwstr = 31;
inline constexpr std::uint16_t kVtFiletime = 64;

struct Property {
  enum class Kind { kString, kNumber, kTime };
  std::uint32_t id = 0;
  Kind kind = Kind::kNumber;
  std::string text;            // kString, UTF-8
  std::int32_t number = 0;     // kNumber (VT_I2 sign-extended, VT_I4)
  std::uint64_t fileTime = 0;  // kTime, raw FILETIME (100 ns units since 1601 UTC)
};

// One section of a property-set stream. Values are decoded when asked for, so a section whose
// table names the same bytes many times costs no more than the properties a caller wants. The
// stream bytes must outlive the object.
class PropertySection {
 public:
  // Finds the section of the stream whose format identifier is fmtid. False when the stream is
  // no property set or has no such section.
  bool Open(std::span<const std::uint8_t> stream, const FormatId& fmtid);
  // The section's code page: property 1 when present, else the ANSI code page. Byte strings are
  // decoded from it, or from the ANSI code page when the system cannot convert this one.
  int CodePage() const { return m_codePage; }
  // Decodes property id (the first one when the table repeats it). False when it is absent, of
  // a type that is not decoded, or does not fit in the section.
  bool Get(std::uint32_t id, Property& out) const;

 private:
  struct Slot {
    std::uint32_t id, offset;
  };
  std::span<const std::uint8_t> m_section;
  std::vector<Slot> m_slots;
  int m_codePage = 0;
};

}  // namespace orvane
