// Unicode helpers shared by the engine, the writers and the readers.
//
// Strings inside Orvane are UTF-8. File names are byte strings and may hold invalid UTF-8; the
// functions here decode such bytes as U+FFFD wherever a character is needed. Pure functions,
// safe from any thread (FoldCase uses the C library's towlower under the process locale).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orvane {

// Decodes UTF-8 into code points; each invalid byte becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view s);
// Appends the UTF-8 form of one code point (surrogates and values past U+10FFFF become U+FFFD).
void AppendUtf8(std::string& out, char32_t c);
std::string EncodeUtf8(std::u32string_view s);
// Replaces every invalid UTF-8 sequence with U+FFFD; valid text comes back unchanged.
std::string SanitizeUtf8(std::string_view s);
// Number of code points (invalid bytes count one each).
std::size_t CountCodePoints(std::string_view s);
// The first n code points of s (whole characters; invalid bytes count one each).
std::string TruncateCodePoints(std::string_view s, std::size_t n);

// UTF-16 little-endian bytes (no byte-order mark handling) to UTF-8; stops at the first
// 16-bit zero when stopAtNul is set. Unpaired surrogates become U+FFFD; an odd last byte is
// ignored.
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes, bool stopAtNul = true);
std::string Utf16ToUtf8(std::u16string_view s);
std::u16string Utf8ToUtf16(std::string_view s);

// Case folding for comparisons: each code point through towlower.
std::u32string FoldCase(std::string_view s);
std::u32string FoldCase(std::u32string_view s);
// Text folded for case-insensitive comparison and sorting (UTF-8 of the folded code points):
// byte order of the result is code-point order of the folded text.
std::string FoldForSort(std::string_view s);
// Lower-cases ASCII letters only (for extensions and fixed keywords).
std::string AsciiLower(std::string_view s);

}  // namespace orvane
