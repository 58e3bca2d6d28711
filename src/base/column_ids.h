// The 58 columns of a listing, shared by the engine, the writers and the settings. The code names
// them; only the configuration files, the column order list and the --columns option store their
// numbers (0..57), and they convert through ColumnNumber / ColumnFromNumber.
#pragma once

#include <array>
#include <cstddef>

namespace orvane {

inline constexpr int kColumnCount = 58;

enum class ColumnId : int {
  kNumber,
  kPath,
  kName,
  kExtension,
  kCount,
  kSize,
  kCreation,
  kLastWrite,
  kLastAccess,
  kType,
  kAttributes,
  kOwner,
  kFileVersion,
  kProductVersion,
  kProductName,
  kDescription,
  kCopyright,
  kCompany,
  kExeComments,
  kLanguage,
  kCrc32,
  kMd5,
  kSha1,
  kDocTitle,
  kSubject,
  kAuthor,
  kKeywords,
  kDocComments,
  kTemplate,
  kLastAuthor,
  kRevision,
  kLastPrinted,
  kDocCreated,
  kLastSaved,
  kPageCount,
  kWordCount,
  kCharCount,
  kAppName,
  kCategory,
  kSecurity,
  kVideoFormat,
  kWidth,
  kHeight,
  kBpp,
  kFrames,
  kFps,
  kAudioFormat,
  kFrequency,
  kBpc,
  kChannels,
  kLength,
  kTrack,
  kTagTitle,
  kArtist,
  kAlbum,
  kYear,
  kGenre,
  kTagComments,
};
static_assert(static_cast<int>(ColumnId::kTagComments) == kColumnCount - 1);

// The number a file stores for a column.
constexpr int ColumnNumber(ColumnId id) {
  return static_cast<int>(id);
}
constexpr bool IsColumnNumber(int n) {
  return n >= 0 && n < kColumnCount;
}
// The column of a stored number; the caller has checked it with IsColumnNumber.
constexpr ColumnId ColumnFromNumber(int n) {
  return static_cast<ColumnId>(n);
}
// The slot of a column in a per-column array.
constexpr std::size_t ColumnIndex(ColumnId id) {
  return static_cast<std::size_t>(id);
}

// Every column in the order of its number.
inline constexpr std::array<ColumnId, kColumnCount> kAllColumns = [] {
  std::array<ColumnId, kColumnCount> all{};
  for (int n = 0; n < kColumnCount; ++n) all[static_cast<std::size_t>(n)] = ColumnFromNumber(n);
  return all;
}();

// One value per column, reached by column; the numbered slots stay for the stored files.
template <class T>
struct ColumnArray : std::array<T, kColumnCount> {
  using Base = std::array<T, kColumnCount>;
  using Base::operator[];
  T& operator[](ColumnId id) { return Base::operator[](ColumnIndex(id)); }
  const T& operator[](ColumnId id) const { return Base::operator[](ColumnIndex(id)); }
};

}  // namespace orvane
