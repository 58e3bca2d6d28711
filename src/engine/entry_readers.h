// CEntryReaders: the readers of the extra information the shown columns need (type name,
// owner, version resource, checksums, document properties, media and MP3 data), shared by the
// scan, which reads entries as it meets them, and the write phase, which reads what is still
// unloaded (archive members, records carried over) while it fills the rows.
//
// Every group is read at most once per record. One per job, used on the engine's worker thread.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/job_status.h"
#include "engine/listing_services.h"
#include "engine/records.h"
#include "fileinfo/hashes.h"

namespace orvane {

class CChecksumCache;
class CChecksumPrefetch;

class CEntryReaders {
 public:
  // `readers`: the ColumnReader bits of the shown columns (see the column table).
  CEntryReaders(ListingServices& services, CJobStatus& status, unsigned readers);
  ~CEntryReaders();

  unsigned Readers() const { return m_readers; }
  // Some shown column needs information beyond the enumeration.
  bool Any() const { return m_readers != 0; }
  // Some shown column needs a file's contents.
  bool ReadsFiles() const;

  // What the scan reads of an entry it has just recorded: type and owner, and for files the
  // groups read from their contents (the checksums only when they are not deferred).
  void ReadScanExtras(CFileRecord& rec, const std::string& fullPath);
  bool NeedsTypeOrOwner(const CFileRecord& rec) const;
  void ReadTypeAndOwner(CFileRecord& rec, const std::string& fullPath);
  // Reads the groups from a file's contents that a shown column needs and that are not loaded
  // yet; false when a hash reader reported cancellation.
  bool ReadExtras(CFileRecord& rec, const std::string& fullPath);
  // The owner of a directory (a drive row: of its mount point).
  void ReadDirOwner(CDirRecord& dir);

  // Checksums. With "Reuse checksums of unchanged files from earlier listings" the digests of
  // unchanged files come from the per-user cache (a cache that cannot be used is reported once
  // and left alone). Unless the files are sorted by a checksum, the scan leaves the digests to
  // the write phase, which lists the files of its rows in row order (PlanChecksums) so that
  // they are hashed ahead, several at a time; EndChecksums ends that read-ahead.
  void SetChecksumOptions(const CListingOptions& options);
  bool ChecksumsDeferred() const { return m_bDeferChecksums; }
  void PlanChecksums(const std::vector<CFileRecord*>& rows);
  void EndChecksums();

 private:
  // The checksums still unloaded that the shown columns ask for.
  HashRequest ChecksumsWanted(const CFileRecord& rec) const;
  bool ReadChecksums(CFileRecord& rec, const std::string& fullPath);
  // Hands planned files to the read-ahead while it holds few.
  void TopUpChecksums();

  ListingServices& m_services;
  CJobStatus& m_status;
  unsigned m_readers;
  std::unique_ptr<CChecksumCache> m_cache;
  bool m_bDeferChecksums = false;
  std::unique_ptr<CChecksumPrefetch> m_prefetch;
  std::deque<CFileRecord*> m_toPlan;  // files of coming rows not handed to the read-ahead yet
  std::unordered_map<const CFileRecord*, std::size_t> m_tickets;  // handed over, not taken
  std::size_t m_nNextTicket = 0;                                  // tickets below are gone
};

}  // namespace orvane
