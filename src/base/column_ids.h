// The ids of the 58 columns of a listing (0..57), shared by the engine, the writers and the
// settings; the numbers are also those the configuration files store.
#pragma once

namespace orvane {

using ColumnId = int;
inline constexpr int kColumnCount = 58;

// Column ids used by name in the code.
enum Column : int {
  kColNumber = 0,
  kColPath = 1,
  kColName = 2,
  kColExtension = 3,
  kColCount = 4,
  kColSize = 5,
  kColCreation = 6,
  kColLastWrite = 7,
  kColLastAccess = 8,
  kColType = 9,
  kColAttributes = 10,
  kColOwner = 11,
  kColFileVersion = 12,
  kColProductVersion = 13,
  kColLanguage = 19,
  kColCrc32 = 20,
  kColMd5 = 21,
  kColSha1 = 22,
  kColDocFirst = 23,
  kColDocLast = 39,
  kColLastPrinted = 31,
  kColDocCreated = 32,
  kColLastSaved = 33,
  kColMediaFirst = 40,
  kColMediaLast = 50,
  kColTrack = 51,
  kColYear = 55,
  kColMp3Last = 57,
};

}  // namespace orvane
