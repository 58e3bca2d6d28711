#include "fileinfo/checksum_cache.h"

#include <sqlite3.h>

#include <set>
#include <utility>

namespace orvane {
namespace {

constexpr std::int64_t kSettleNs = 2000000000;
constexpr std::int64_t kDayNs = 86400 * std::int64_t{1000000000};
constexpr int kCommitEvery = 256;  // writes per transaction; a commit also follows each Flush

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS checksums ("
    " device INTEGER NOT NULL, inode INTEGER NOT NULL, size INTEGER NOT NULL,"
    " modified INTEGER NOT NULL, changed INTEGER NOT NULL,"
    " crc32 INTEGER, md5 TEXT, sha1 TEXT, seen INTEGER NOT NULL,"
    " PRIMARY KEY (device, inode)) WITHOUT ROWID";

// SQLite keeps signed 64-bit integers; device and inode numbers are kept by their bits.
sqlite3_int64 Bits(std::uint64_t v) {
  return static_cast<sqlite3_int64>(v);
}

std::string Text(sqlite3_stmt* s, int column) {
  const unsigned char* t = sqlite3_column_text(s, column);
  return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
}

bool IsHex(const std::string& s, std::size_t length) {
  if (s.size() != length) return false;
  for (char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

}  // namespace

CChecksumCache::CChecksumCache(const std::string& path, std::int64_t nowNs, int busyMs)
    : m_strPath(path), m_nToday(nowNs / kDayNs), m_nSettledNs(nowNs - kSettleNs) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (path.empty()) {
    m_strWarning = "there is no cache folder for checksums; they are computed afresh";
    return;
  }
  if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    Fail("cannot be opened");
    return;
  }
  sqlite3_busy_timeout(m_db, busyMs);
  if (sqlite3_exec(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                   nullptr) != SQLITE_OK ||
      sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK) {
    Fail("cannot be used");
    return;
  }
  if (Prepare()) Prune();
}

CChecksumCache::~CChecksumCache() {
  std::lock_guard<std::mutex> lock(m_mutex);
  Commit();
  Close();
}

std::string CChecksumCache::DefaultPath() {
  const std::string folder = GetCacheFolder();
  return folder.empty() ? std::string() : folder + "checksums.sqlite";
}

bool CChecksumCache::IsOpen() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_db != nullptr;
}

bool CChecksumCache::Prepare() {
  auto prepare = [this](const char* sql, sqlite3_stmt** s) {
    return sqlite3_prepare_v2(m_db, sql, -1, s, nullptr) == SQLITE_OK;
  };
  if (prepare("SELECT size, modified, changed, crc32, md5, sha1, seen FROM checksums"
              " WHERE device = ?1 AND inode = ?2",
              &m_find) &&
      prepare("UPDATE checksums SET seen = ?3 WHERE device = ?1 AND inode = ?2", &m_touch) &&
      prepare("INSERT OR REPLACE INTO checksums"
              " (device, inode, size, modified, changed, crc32, md5, sha1, seen)"
              " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
              &m_store))
    return true;
  Fail("cannot be used");
  return false;
}

void CChecksumCache::Prune() {
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(m_db, "DELETE FROM checksums WHERE seen < ?1", -1, &s, nullptr) !=
      SQLITE_OK) {
    Fail("cannot be used");
    return;
  }
  sqlite3_bind_int64(s, 1, m_nToday - kChecksumCacheDays);
  const bool ok = Step(s, false);
  sqlite3_finalize(s);
  if (!ok) Fail("cannot be used");
}

bool CChecksumCache::Step(sqlite3_stmt* s, bool wantRow) {
  const int rc = sqlite3_step(s);
  if (rc == SQLITE_ROW && wantRow) return true;
  sqlite3_reset(s);
  return wantRow ? false : rc == SQLITE_DONE;
}

void CChecksumCache::Fail(const char* what) {
  if (!m_bWarned) {
    m_bWarned = true;
    m_strWarning = "the checksum cache " + m_strPath + " " + what;
    if (m_db) m_strWarning.append(" (").append(sqlite3_errmsg(m_db)).append(")");
    m_strWarning += "; checksums are computed afresh";
  }
  Close();
}

void CChecksumCache::Close() {
  for (sqlite3_stmt** s : {&m_find, &m_touch, &m_store}) {
    sqlite3_finalize(*s);
    *s = nullptr;
  }
  if (m_db) sqlite3_close_v2(m_db);
  m_db = nullptr;
  m_bInTransaction = false;
}

void CChecksumCache::Commit() {
  if (!m_db || !m_bInTransaction) return;
  m_bInTransaction = false;
  m_nPending = 0;
  if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
    Fail("cannot be written");
}

bool CChecksumCache::Find(const FileIdentity& key, CachedChecksums& out) {
  std::lock_guard<std::mutex> lock(m_mutex);
  out = CachedChecksums();
  if (!m_db) return false;
  sqlite3_bind_int64(m_find, 1, Bits(key.device));
  sqlite3_bind_int64(m_find, 2, Bits(key.inode));
  if (!Step(m_find, true)) {
    if (sqlite3_errcode(m_db) != SQLITE_OK && sqlite3_errcode(m_db) != SQLITE_DONE)
      Fail("cannot be read");
    return false;
  }
  const bool same = sqlite3_column_int64(m_find, 0) == Bits(key.size) &&
                    sqlite3_column_int64(m_find, 1) == key.modifiedNs &&
                    sqlite3_column_int64(m_find, 2) == key.changedNs;
  if (same) {
    out.hasCrc32 = sqlite3_column_type(m_find, 3) == SQLITE_INTEGER;
    out.crc32 = static_cast<std::uint32_t>(sqlite3_column_int64(m_find, 3));
    out.md5 = Text(m_find, 4);
    out.sha1 = Text(m_find, 5);
    // A damaged entry is not trusted: its text is left out.
    if (!IsHex(out.md5, 32)) out.md5.clear();
    if (!IsHex(out.sha1, 40)) out.sha1.clear();
  }
  const bool stale = sqlite3_column_int64(m_find, 6) < m_nToday;
  sqlite3_reset(m_find);
  if (!same || !(out.hasCrc32 || !out.md5.empty() || !out.sha1.empty())) return false;
  if (stale) {
    if (!m_bInTransaction && sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK)
      m_bInTransaction = true;
    sqlite3_bind_int64(m_touch, 1, Bits(key.device));
    sqlite3_bind_int64(m_touch, 2, Bits(key.inode));
    sqlite3_bind_int64(m_touch, 3, m_nToday);
    if (!Step(m_touch, false)) Fail("cannot be written");
    if (++m_nPending >= kCommitEvery) Commit();
  }
  return true;
}

void CChecksumCache::Store(const FileIdentity& key, const CachedChecksums& digests) {
  if (key.changedNs > m_nSettledNs || key.modifiedNs > m_nSettledNs) return;
  CachedChecksums merged;
  Find(key, merged);
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_db) return;
  if (digests.hasCrc32) {
    merged.hasCrc32 = true;
    merged.crc32 = digests.crc32;
  }
  if (IsHex(digests.md5, 32)) merged.md5 = digests.md5;
  if (IsHex(digests.sha1, 40)) merged.sha1 = digests.sha1;
  if (!m_bInTransaction) {
    if (sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
      Fail("cannot be written");
      return;
    }
    m_bInTransaction = true;
  }
  sqlite3_stmt* s = m_store;
  sqlite3_bind_int64(s, 1, Bits(key.device));
  sqlite3_bind_int64(s, 2, Bits(key.inode));
  sqlite3_bind_int64(s, 3, Bits(key.size));
  sqlite3_bind_int64(s, 4, key.modifiedNs);
  sqlite3_bind_int64(s, 5, key.changedNs);
  if (merged.hasCrc32)
    sqlite3_bind_int64(s, 6, merged.crc32);
  else
    sqlite3_bind_null(s, 6);
  auto bindText = [s](int i, const std::string& t) {
    if (t.empty())
      sqlite3_bind_null(s, i);
    else
      sqlite3_bind_text(s, i, t.c_str(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
  };
  bindText(7, merged.md5);
  bindText(8, merged.sha1);
  sqlite3_bind_int64(s, 9, m_nToday);
  if (!Step(s, false)) {
    Fail("cannot be written");
    return;
  }
  if (++m_nPending >= kCommitEvery) Commit();
}

void CChecksumCache::Flush() {
  std::lock_guard<std::mutex> lock(m_mutex);
  Commit();
}

std::string CChecksumCache::TakeWarning() {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::string warning = std::exchange(m_strWarning, std::string());
  // Each listing opens the cache again: a window regenerating its preview says it once.
  static std::mutex warnedMutex;
  static std::set<std::string> warned;
  std::lock_guard<std::mutex> warnedLock(warnedMutex);
  if (!warning.empty() && !warned.insert(m_strPath).second) warning.clear();
  return warning;
}

bool ComputeHashesCached(const std::string& path, const HashRequest& want, HashProgress* progress,
                         CChecksumCache* cache, HashResults& out) {
  FileIdentity before;
  if (!cache || !cache->IsOpen() || !GetFileIdentity(path, before))
    return ComputeHashes(path, want, progress, out);
  CachedChecksums kept;
  HashRequest rest = want;
  if (cache->Find(before, kept)) {
    rest.crc32 = want.crc32 && !kept.hasCrc32;
    rest.md5 = want.md5 && kept.md5.empty();
    rest.sha1 = want.sha1 && kept.sha1.empty();
  }
  out = HashResults();
  if (rest.Any()) {
    if (ComputeHashes(path, rest, progress, out)) return true;
    if (out.status != HashStatus::kDone) return false;
    FileIdentity after;
    // Only digests of the whole file as it still is are kept.
    if (out.bytesHashed == before.size && GetFileIdentity(path, after) && after == before)
      cache->Store(before, CachedChecksums{rest.crc32, out.crc32, out.md5, out.sha1});
  } else {
    out.bytesHashed = before.size;
  }
  if (want.crc32 && !rest.crc32) out.crc32 = kept.crc32;
  if (want.md5 && !rest.md5) out.md5 = kept.md5;
  if (want.sha1 && !rest.sha1) out.sha1 = kept.sha1;
  return false;
}

}  // namespace orvane
