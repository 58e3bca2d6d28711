// Reading Orvane's own text files (settings, configuration, style and selection files) into
// UTF-8 lines, whatever form they were saved in: UTF-8 with or without a byte-order mark, or
// UTF-16 little-endian with its mark; lines end in LF or CR LF.
//
// Bad input is expected: a missing, unreadable, oversized or binary file gives no lines and a
// status that says why. Pure functions apart from the file read; safe from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvane {

enum class TextReadStatus {
  kOk,
  kMissing,     // no such file
  kUnreadable,  // exists but cannot be opened or read, or is not a regular file
  kTooLarge,    // larger than the limit
  kNotText,     // holds NUL bytes that are not UTF-16 text
};

// The largest files read: settings, configuration and style files are a few kilobytes; a
// selection file of 4 MiB names tens of thousands of folders.
inline constexpr std::size_t kMaxProfileFileSize = 1u << 20;
inline constexpr std::size_t kMaxSelectionFileSize = 4u << 20;

// How bytes without a byte-order mark are taken.
enum class NoMarkAs {
  kUtf8,        // settings, configuration and style files
  kGuessUtf16,  // selection files: UTF-16LE when the bytes look like it (NULs in odd places)
};

// What a NUL character in the decoded text does.
enum class NulChars {
  kRejectFile,   // the file is not text (settings, configuration and style files)
  kKeepInLines,  // the lines keep it and the caller skips them (selection files)
};

// Decodes a whole file image of at most maxSize bytes into lines (without their line ends).
// Unless the status is kOk the lines are empty.
TextReadStatus DecodeTextLines(std::span<const std::uint8_t> bytes, NoMarkAs noMark,
                               std::size_t maxSize, std::vector<std::string>& lines,
                               NulChars nul = NulChars::kRejectFile);

// Reads and decodes a file of at most maxSize bytes; lines stay empty unless the status is kOk.
TextReadStatus ReadTextLines(const std::string& path, NoMarkAs noMark, std::size_t maxSize,
                             std::vector<std::string>& lines, NulChars nul = NulChars::kRejectFile);

// A short English description of a failed read, for messages ("does not exist", ...).
const char* DescribeReadStatus(TextReadStatus status);

}  // namespace orvane
