// CEntryReaders: the readers of the extra information the shown columns need (type name,
// owner, version resource, checksums, document properties, media and MP3 data), shared by the
// scan, which reads entries as it meets them, and the write phase, which reads what is still
// unloaded (archive members, records carried over) while it fills the rows.
//
// Every group is read at most once per record. One per job, used on the engine's worker thread.
#pragma once

#include <string>

#include "engine/job_status.h"
#include "engine/listing_services.h"
#include "engine/records.h"

namespace orvane {

class CEntryReaders {
 public:
  // `readers`: the ColumnReader bits of the shown columns (see the column table).
  CEntryReaders(ListingServices& services, CJobStatus& status, unsigned readers)
      : m_services(services), m_status(status), m_readers(readers) {}

  unsigned Readers() const { return m_readers; }
  // Some shown column needs information beyond the enumeration.
  bool Any() const { return m_readers != 0; }
  // Some shown column needs a file's contents.
  bool ReadsFiles() const;

  // What the scan reads of an entry it has just recorded: type and owner, and for files the
  // groups read from their contents.
  void ReadScanExtras(CFileRecord& rec, const std::string& fullPath);
  bool NeedsTypeOrOwner(const CFileRecord& rec) const;
  void ReadTypeAndOwner(CFileRecord& rec, const std::string& fullPath);
  // Reads the groups from a file's contents that a shown column needs and that are not loaded
  // yet; false when a hash reader reported cancellation.
  bool ReadExtras(CFileRecord& rec, const std::string& fullPath);
  // The owner of a directory (a drive row: of its mount point).
  void ReadDirOwner(CDirRecord& dir);

 private:
  ListingServices& m_services;
  CJobStatus& m_status;
  unsigned m_readers;
};

}  // namespace orvane
