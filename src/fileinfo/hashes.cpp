#include "fileinfo/hashes.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <new>
#include <span>
#include <system_error>
#include <thread>
#include <utility>

#include "fileinfo/crc32.h"
#include "fileinfo/md5.h"
#include "fileinfo/sha1.h"
#include "platform/file_source.h"

namespace orvane {

namespace {

// Chunks smaller than this are hashed on the calling thread alone: starting a helper costs more
// than it saves.
constexpr std::size_t kParallelMinChunk = 256 * 1024;

const char* Label(const HashRequest& want) {
  static const char* const kLabels[8] = {"",     "CRC32",      "MD5",      "CRC32/MD5",
                                         "SHA1", "CRC32/SHA1", "MD5/SHA1", "CRC32/MD5/SHA1"};
  return kLabels[(want.crc32 ? 1 : 0) | (want.md5 ? 2 : 0) | (want.sha1 ? 4 : 0)];
}

class FileHashSource : public HashSource {
 public:
  explicit FileHashSource(const std::string& path) : m_file(path) {}
  bool IsOpen() const override { return m_file.IsOpen(); }
  std::uint64_t Size() const override { return m_file.Size(); }
  long long Read(std::uint64_t offset, std::uint8_t* buf, std::size_t len) override {
    return m_file.ReadInto(offset, buf, len);
  }

 private:
  FileSource m_file;
};

// The read buffer of a pass, page-aligned: the kernel copies file data into a buffer that is
// aligned like its own pages several times faster than into one that is not.
class ReadBuffer {
 public:
  explicit ReadBuffer(std::size_t size)
      : m_data(static_cast<std::uint8_t*>(::operator new[](size, kAlign, std::nothrow))) {}
  ~ReadBuffer() {
    if (m_data) ::operator delete[](m_data, kAlign);
  }
  ReadBuffer(const ReadBuffer&) = delete;
  ReadBuffer& operator=(const ReadBuffer&) = delete;
  std::uint8_t* get() const { return m_data; }

 private:
  static constexpr std::align_val_t kAlign{4096};
  std::uint8_t* m_data;
};

// A second thread that runs one digest over each chunk of a pass. It lives for the pass, so a
// chunk costs a wake-up rather than a thread start. One chunk is in flight at a time: Post hands it
// over, Wait returns once the helper is done with it.
class Helper {
 public:
  explicit Helper(std::function<void(std::span<const std::uint8_t>)> work)
      : m_work(std::move(work)), m_thread([this] { Run(); }) {}
  ~Helper() {
    m_quit.store(true, std::memory_order_relaxed);
    m_posted.fetch_add(1, std::memory_order_release);
    m_posted.notify_one();
    m_thread.join();
  }
  Helper(const Helper&) = delete;
  Helper& operator=(const Helper&) = delete;

  void Post(std::span<const std::uint8_t> chunk) {
    m_chunk = chunk;
    m_posted.fetch_add(1, std::memory_order_release);
    m_posted.notify_one();
  }
  void Wait() {
    const std::uint32_t posted = m_posted.load(std::memory_order_relaxed);
    for (std::uint32_t done; (done = m_done.load(std::memory_order_acquire)) != posted;)
      m_done.wait(done, std::memory_order_acquire);
  }

 private:
  void Run() {
    for (std::uint32_t seen = 0;;) {
      m_posted.wait(seen, std::memory_order_acquire);
      seen = m_posted.load(std::memory_order_acquire);
      if (m_quit.load(std::memory_order_relaxed)) return;
      m_work(m_chunk);
      m_done.store(seen, std::memory_order_release);
      m_done.notify_one();
    }
  }

  std::function<void(std::span<const std::uint8_t>)> m_work;
  std::span<const std::uint8_t> m_chunk;
  std::atomic<std::uint32_t> m_posted{0}, m_done{0};
  std::atomic<bool> m_quit{false};
  std::thread m_thread;  // last: starts once everything above is ready
};

// The digests of one pass.
class Digests {
 public:
  explicit Digests(const HashRequest& want) : m_want(want) {
    // The slowest requested digest goes to the helper thread when another one runs beside it.
    const int count = (want.crc32 ? 1 : 0) + (want.md5 ? 1 : 0) + (want.sha1 ? 1 : 0);
    if (count >= 2 && !want.oneThread) m_helperTakes = want.md5 ? kMd5 : kSha1;
  }

  void Feed(std::span<const std::uint8_t> chunk) {
    if (m_helperTakes != 0 && !m_helper && chunk.size() >= kParallelMinChunk) {
      try {
        m_helper = std::make_unique<Helper>(
            [this](std::span<const std::uint8_t> c) { Update(c, m_helperTakes); });
      } catch (const std::system_error&) {
        m_helperTakes = 0;  // no thread to be had: everything runs here
      }
    }
    if (!m_helper) {
      Update(chunk, kAll);
      return;
    }
    m_helper->Post(chunk);
    Update(chunk, kAll & ~m_helperTakes);
    m_helper->Wait();
  }

  void Finish(HashResults& out) {
    m_helper.reset();
    if (m_want.crc32) out.crc32 = m_crc.Final();
    if (m_want.md5) out.md5 = HexLower(m_md5.Final());
    if (m_want.sha1) out.sha1 = HexLower(m_sha1.Final());
  }

 private:
  enum : unsigned { kCrc = 1, kMd5 = 2, kSha1 = 4, kAll = 7 };

  void Update(std::span<const std::uint8_t> chunk, unsigned which) {
    if ((which & kCrc) && m_want.crc32) m_crc.Update(chunk);
    if ((which & kMd5) && m_want.md5) m_md5.Update(chunk);
    if ((which & kSha1) && m_want.sha1) m_sha1.Update(chunk);
  }

  HashRequest m_want;
  unsigned m_helperTakes = 0;
  Crc32Digest m_crc;
  Md5Digest m_md5;
  Sha1Digest m_sha1;
  std::unique_ptr<Helper> m_helper;  // last: stops before the digests it works on go away
};

void SetUnreadable(const HashRequest& want, HashResults& out) {
  out.status = HashStatus::kUnreadable;
  out.crc32 = 0;
  out.md5 = want.md5 ? std::string(32, ' ') : std::string();
  out.sha1 = want.sha1 ? std::string(40, ' ') : std::string();
  out.bytesHashed = 0;
}

}  // namespace

std::string HashProgressText(std::string_view label, std::string_view path, std::uint64_t done,
                             std::uint64_t total) {
  const unsigned __int128 percent =
      static_cast<unsigned __int128>(done) * 100 / (total == 0 ? 1 : total);
  std::string s;
  s.reserve(label.size() + path.size() + 10);
  s.append(label).append(" (").append(path).append(") ");
  s.append(std::to_string(static_cast<std::uint64_t>(percent))).append("%");
  return s;
}

std::string HashMemoryErrorText(std::string_view supportAddress) {
  return std::string("Memory allocation error. Please contact ").append(supportAddress);
}

namespace {

bool StopBeforeStart(HashProgress* progress, HashResults& out) {
  out = HashResults();
  if (!progress || !progress->StopRequested()) return false;
  out.status = HashStatus::kCancelled;
  return true;
}

// The pass itself, once the stop flag was found clear.
bool RunPass(HashSource& source, const std::string& path, const HashRequest& want,
             HashProgress* progress, HashResults& out) {
  if (!source.IsOpen()) {
    SetUnreadable(want, out);
    return false;
  }
  const std::uint64_t size = source.Size();
  // Small files need no more buffer than their size.
  const std::size_t bufferSize =
      static_cast<std::size_t>(std::clamp<std::uint64_t>(size, 1, HashBufferSize));
  const ReadBuffer buffer(bufferSize);
  if (!buffer.get()) {
    out.status = HashStatus::kNoMemory;
    return false;
  }
  const char* label = Label(want);
  if (progress) progress->ReportProgress(path, 0, size, label);

  Digests digests(want);
  std::uint64_t done = 0;
  while (done < size) {
    const std::size_t len =
        static_cast<std::size_t>(std::min<std::uint64_t>(bufferSize, size - done));
    const long long got = source.Read(done, buffer.get(), len);
    if (got < 0) {
      // A failed read would leave a digest of part of the file that looks like a real one.
      SetUnreadable(want, out);
      return false;
    }
    if (got == 0) break;  // the file shrank: keep the digest of what it had
    done += static_cast<std::uint64_t>(got);
    if (size > HashBufferSize && progress) {
      progress->ReportProgress(path, done, size, label);
      if (progress->StopRequested()) {
        out.status = HashStatus::kCancelled;
        return true;
      }
    }
    digests.Feed(std::span<const std::uint8_t>(buffer.get(), static_cast<std::size_t>(got)));
  }
  digests.Finish(out);
  out.bytesHashed = done;
  return false;
}

}  // namespace

bool ComputeHashes(HashSource& source, const std::string& path, const HashRequest& want,
                   HashProgress* progress, HashResults& out) {
  return StopBeforeStart(progress, out) || RunPass(source, path, want, progress, out);
}

bool ComputeHashes(const std::string& path, const HashRequest& want, HashProgress* progress,
                   HashResults& out) {
  // The stop flag is seen before the file is even opened.
  if (StopBeforeStart(progress, out)) return true;
  FileHashSource source(path);
  return RunPass(source, path, want, progress, out);
}

bool ComputeCrc32(const std::string& path, HashProgress* progress, std::uint32_t& crc) {
  crc = 0;
  HashResults r;
  if (ComputeHashes(path, HashRequest{true, false, false}, progress, r)) return true;
  crc = r.crc32;
  return false;
}

bool ComputeMd5(const std::string& path, HashProgress* progress, std::string& md5) {
  HashResults r;
  if (ComputeHashes(path, HashRequest{false, true, false}, progress, r)) return true;
  md5 += r.md5;
  return false;
}

bool ComputeSha1(const std::string& path, HashProgress* progress, std::string& sha1) {
  HashResults r;
  if (ComputeHashes(path, HashRequest{false, false, true}, progress, r)) return true;
  sha1 += r.sha1;
  return false;
}

bool LoadFileHashes(const std::string& path, const HashRequest& shown, HashProgress* progress,
                    FileHashes& state, HashStatus* status) {
  HashRequest want;
  want.crc32 = shown.crc32 && !state.crc32Loaded;
  want.md5 = shown.md5 && !state.md5Loaded;
  want.sha1 = shown.sha1 && !state.sha1Loaded;
  if (status) *status = HashStatus::kDone;
  if (!want.Any()) return false;
  HashResults r;
  const bool cancelled = ComputeHashes(path, want, progress, r);
  if (status) *status = r.status;
  if (cancelled) return true;
  StoreHashResults(want, r, state);
  return false;
}

void StoreHashResults(const HashRequest& want, HashResults& results, FileHashes& state) {
  if (want.crc32) {
    state.crc32 = results.crc32;
    state.crc32Loaded = true;
  }
  if (want.md5) {
    state.md5 = std::move(results.md5);
    state.md5Loaded = true;
  }
  if (want.sha1) {
    state.sha1 = std::move(results.sha1);
    state.sha1Loaded = true;
  }
}

std::string Crc32Cell(const FileHashes& h, bool isDir) {
  if (isDir || !h.crc32Loaded) return std::string(8, ' ');
  static const char kDigits[] = "0123456789abcdef";
  std::string s(8, '0');
  for (int i = 0; i < 8; ++i) s[i] = kDigits[(h.crc32 >> (28 - 4 * i)) & 15];
  return s;
}

std::string Md5Cell(const FileHashes& h, bool isDir) {
  return isDir ? std::string(32, ' ') : h.md5;
}

std::string Sha1Cell(const FileHashes& h, bool isDir) {
  return isDir ? std::string(40, ' ') : h.sha1;
}

}  // namespace orvane
