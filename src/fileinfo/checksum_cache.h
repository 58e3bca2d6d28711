// CChecksumCache: the checksums of files kept between runs in an SQLite database, so that a
// listing can reuse the digests of files that did not change since an earlier listing.
//
// A file's entry is keyed by its device and inode and holds the size, modification and change
// time (nanoseconds) it had when it was read; a lookup gives the digests only while all five
// still match, so a rewritten, replaced or touched file is read again. A file changed less than
// two seconds before the cache was opened (or after) is not kept: file times advance in clock
// ticks, so a second write within the same tick could leave all five unchanged. Entries not looked
// at for kChecksumCacheDays days are dropped when a cache is opened, so the database holds only
// files that are still listed.
//
// The cache is only ever a help: a database that cannot be created, is not a database, is
// damaged, or stays locked by another program turns the cache off for the rest of the run with
// one warning (TakeWarning), and the listing computes every digest itself.
//
// All members are safe from any thread (one lock inside).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "fileinfo/hashes.h"
#include "platform/file_identity.h"

struct sqlite3;
struct sqlite3_stmt;

namespace orvane {

inline constexpr int kChecksumCacheDays = 90;

// The digests of one file as the cache keeps them; an empty text or !hasCrc32 is not stored.
struct CachedChecksums {
  bool hasCrc32 = false;
  std::uint32_t crc32 = 0;
  std::string md5;   // 32 hex digits or empty
  std::string sha1;  // 40 hex digits or empty
};

class CChecksumCache {
 public:
  // Opens, or creates, the database at path; nowNs (nanoseconds since 1970) dates the entries
  // looked at, decides which are old enough to drop and which files changed too recently to be
  // kept. busyMs is how long a locked database is waited for before it is given up.
  CChecksumCache(const std::string& path, std::int64_t nowNs, int busyMs = 500);
  // Writes what is still pending.
  ~CChecksumCache();
  CChecksumCache(const CChecksumCache&) = delete;
  CChecksumCache& operator=(const CChecksumCache&) = delete;

  // GetCacheFolder() + "checksums.sqlite"; empty when there is no cache folder.
  static std::string DefaultPath();

  bool IsOpen() const;
  // The digests kept for this version of the file; false when there are none (or the cache is
  // off). A hit marks the entry as seen today.
  bool Find(const FileIdentity& key, CachedChecksums& out);
  // Keeps the digests of this version of the file (unless it changed too recently), merged with
  // those kept for the same version already. Written in batches; Flush writes at once.
  void Store(const FileIdentity& key, const CachedChecksums& digests);
  void Flush();
  // The warning about a cache that had to be turned off: once per database file and process,
  // empty afterwards, and empty while all goes well.
  std::string TakeWarning();

 private:
  bool Prepare();
  void Prune();
  bool Step(sqlite3_stmt* s, bool wantRow);
  void Fail(const char* what);
  void Commit();
  void Close();

  mutable std::mutex m_mutex;
  std::string m_strPath;
  std::int64_t m_nToday = 0;      // days since 1970
  std::int64_t m_nSettledNs = 0;  // files changed after this moment are not kept
  sqlite3* m_db = nullptr;
  sqlite3_stmt* m_find = nullptr;
  sqlite3_stmt* m_touch = nullptr;
  sqlite3_stmt* m_store = nullptr;
  int m_nPending = 0;  // stores and touches since the last commit
  bool m_bInTransaction = false;
  std::string m_strWarning;
  bool m_bWarned = false;
};

// Computes the digests of want for the file at path like ComputeHashes, but takes those the
// cache holds for the file's current version and stores what it computed (only for a file that
// was read whole and did not change while it was read). cache may be null.
bool ComputeHashesCached(const std::string& path, const HashRequest& want, HashProgress* progress,
                         CChecksumCache* cache, HashResults& out);

}  // namespace orvane
