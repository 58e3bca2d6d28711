// The records of one generation: a CDirRecord per listed directory and a CFileRecord per entry
// (file, subdirectory, or archive listed as a directory).
//
// Records are built by the scan on the worker thread and read by the write phase on the same
// thread; between generations they are the cache of the next scan, so slow information (hashes
// above all) is read once per file. The extra information groups live in a separately allocated
// block that exists only when some extra column was asked for, which keeps a plain listing small.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvane {

struct FileInfoGroups;  // engine/file_info_groups.h
struct CDirRecord;

// The name of an entry in 24 bytes: names of up to 23 bytes inside, longer ones in one block of
// their own. Records are many, so their names are kept small.
class EntryName {
 public:
  EntryName() noexcept { m_b[kTag] = 0; }
  ~EntryName() { Free(); }
  EntryName(EntryName&& o) noexcept;
  EntryName& operator=(EntryName&& o) noexcept;
  EntryName(const EntryName&) = delete;
  EntryName& operator=(const EntryName&) = delete;

  void Assign(std::string_view name);
  std::string_view View() const;

 private:
  static constexpr std::size_t kInline = 23;
  static constexpr std::size_t kTag = 23;  // the inline length, or kHeap
  static constexpr unsigned char kHeap = 0xFF;
  void Free() noexcept;
  alignas(8) unsigned char m_b[24];  // inline: bytes and length; else pointer and size
};

struct CFileRecord {
  CFileRecord();
  ~CFileRecord();
  CFileRecord(CFileRecord&&) noexcept;
  CFileRecord& operator=(CFileRecord&&) noexcept;

  // The name as enumerated; a file's name and extension are split at its last ".".
  void SetName(std::string_view name) { m_name.Assign(name); }
  // The name without "." and extension (files); the whole name (directories).
  std::string_view Name() const;
  // The extension without the dot; empty for directories.
  std::string_view Ext() const;
  // A file whose name has a "." before its extension.
  bool HasDot() const;
  // The name as enumerated.
  std::string FullName() const { return std::string(m_name.View()); }
  // The extra information groups, created on first use.
  FileInfoGroups& Info();

  EntryName m_name;
  std::uint64_t m_nSize = 0;
  std::int64_t m_tCreation = 0;
  std::int64_t m_tLastWrite = 0;
  std::int64_t m_tLastAccess = 0;
  CDirRecord* m_pDir = nullptr;
  std::unique_ptr<FileInfoGroups> m_pInfo;
  int m_nSeq = 0;
  char m_strAttributes[6] = "-----";
  bool m_bIsDir = false;
};

struct CDirRecord {
  std::string m_strPath;  // absolute path without trailing "/" (the root is "/")
  std::uint64_t m_nSize = 0;
  int m_nFileCount = 0;
  int m_nSubdirCount = 0;
  std::int64_t m_tCreation = 0;
  std::int64_t m_tLastAccess = 0;
  std::int64_t m_tLastWrite = 0;
  char m_strAttributes[6] = "-----";
  std::vector<CFileRecord> m_items;
  int m_nBaseLength = 0;
  bool m_bDrive = false;    // a mounted volume: serial and file-system name below
  bool m_bArchive = false;  // an archive listed as a directory, or a folder inside one
  std::string m_strVolumeSerial;
  std::string m_strFileSystem;
  int m_nSeq = 0;
  CDirRecord* m_pParent = nullptr;
  std::string m_strOwner;
  bool m_bOwnerRead = false;
};

// The records of one generation in scan order, with an index by path, and the scan's counts.
// The engine keeps them between generations; the scan builds them and the write phase reads
// them, one after the other on the engine's worker thread.
struct ListingRecords {
  std::vector<std::unique_ptr<CDirRecord>> dirs;
  std::unordered_map<std::string, CDirRecord*> index;
  int files = 0;                // files counted by the scan
  int dirCount = 0;             // directories counted by the scan
  std::uint64_t totalSize = 0;  // the sum of the counted files' sizes
  int fileSeq = 0;              // the next running numbers of new records
  int dirSeq = 0;

  CDirRecord* Find(const std::string& path) const;
  // A new directory record at the end of `dirs` with the next running number.
  CDirRecord* NewDir(const std::string& path, int baseLength);
};

// The path of `name` inside the directory `dir` (a record path: "/" for the root, else no
// trailing "/").
std::string JoinPath(const std::string& dir, const std::string& name);

// Attribute letters from the Windows attribute bits (read-only 1, archive 32, hidden 2,
// system 4, compressed 2048).
void AttributeLetters(std::uint32_t bits, char out[6]);
inline constexpr std::uint32_t kAttrReadOnly = 0x1, kAttrHidden = 0x2, kAttrSystem = 0x4,
                               kAttrDirectory = 0x10, kAttrArchive = 0x20, kAttrCompressed = 0x800;

}  // namespace orvane
