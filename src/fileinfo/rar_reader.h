// RarReader: walks the file headers of a RAR archive (format 4 and format 5) for listing,
// without unpacking anything: open, read the next header, skip its data, close.
//
// Every size, count and offset in a header is distrusted: each block must lie inside the file
// and move the walk forward, headers have bounded sizes, and a header whose checksum does not
// match ends the walk as damage. Archives whose headers are encrypted cannot be listed without
// a password, and no password is ever asked for. The bytes or file given to Open must outlive
// the reader. One reader belongs to one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "fileinfo/archive_member.h"
#include "fileinfo/byte_source.h"

namespace orvane {

enum class RarStatus {
  kOk,
  kEndOfArchive,  // no more file headers
  kNotRar,        // not a RAR 4 or RAR 5 archive, or the file cannot be read
  kBadData,       // a damaged or truncated header
  kNeedPassword,  // the headers are encrypted
};

struct RarFileHeader {
  std::string name;                // UTF-8 as stored; separators as the archiving system wrote them
  std::uint64_t unpackedSize = 0;  // 0 when the archive does not know it
  std::uint64_t packedSize = 0;
  std::uint32_t crc = 0;         // CRC-32 of the unpacked data
  std::uint32_t attributes = 0;  // as stored: Windows attributes, or a Unix mode when unixHost
  bool unixHost = false;         // attributes are a Unix mode (st_mode)
  std::int64_t time = 0;         // last write, seconds since 1970 UTC; 0 when unknown
  bool isDirectory = false;
  bool encrypted = false;  // the data (not the header) needs a password
};

class RarReader {
 public:
  RarReader();
  ~RarReader();
  RarReader(const RarReader&) = delete;
  RarReader& operator=(const RarReader&) = delete;

  // Header checksums are checked unless turned off (the fuzz target turns them off to reach
  // the parsing behind them).
  void SetCheckHeaderCrc(bool check) { m_checkCrc = check; }

  // Opens the archive held in bytes, or the file at path, for listing. kOk, kNotRar or
  // kNeedPassword.
  RarStatus Open(std::span<const std::uint8_t> bytes);
  RarStatus Open(const std::string& path);
  // Reads the next file header (other blocks are passed over). kOk with out filled,
  // kEndOfArchive, or kBadData; after anything but kOk the walk is over.
  RarStatus ReadHeader(RarFileHeader& out);
  // Passes over the data of the header just read; the next ReadHeader starts behind it.
  // kBadData when no header was read or the data leaves the file.
  RarStatus Skip();
  void Close();

  int Format() const { return m_format; }  // 4 or 5 after a successful Open, else 0

 private:
  RarStatus OpenCommon();
  bool ReadAt(std::uint64_t offset, std::size_t len, std::uint8_t* out) const;
  RarStatus ReadBlock4(RarFileHeader& out, bool& isFile);
  RarStatus ReadBlock5(RarFileHeader& out, bool& isFile, std::uint64_t& headerType);
  RarStatus ReadHeader5Raw(std::vector<std::uint8_t>& header, std::size_t& bodyStart);

  std::unique_ptr<ByteSource> m_source;
  std::uint64_t m_size = 0;
  std::uint64_t m_pos = 0;      // start of the next block
  std::uint64_t m_dataEnd = 0;  // end of the data of the last block read
  bool m_haveHeader = false;
  bool m_done = true;
  bool m_checkCrc = true;
  int m_format = 0;
  DosTimeConverter m_dosTime;  // format 4 member times
};

}  // namespace orvane
