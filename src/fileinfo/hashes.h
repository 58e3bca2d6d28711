// File hashes: the CRC32, MD5 and SHA-1 of a file's whole content (listing columns 20, 21, 22).
//
// One pass reads the file front to back in chunks of at most HashBufferSize bytes and feeds every
// requested digest; when MD5 or SHA-1 runs together with another digest, the slowest one works on
// a second thread over the same chunk. For files larger than one buffer the pass reports
// progress and polls for cancellation after every chunk. Results:
//   - hashed: CRC as a number, MD5 / SHA-1 as 32 / 40 lower-case hexadecimal digits; a file that
//     ends early (it shrank while being read) gives the digest of the bytes it had;
//   - unreadable (cannot be opened, is not a regular file, or a read fails): CRC 0, MD5 32 blanks,
//     SHA-1 40 blanks;
//   - cancelled: nothing is stored;
//   - no memory for the buffer: CRC 0, MD5 / SHA-1 empty; the caller shows the message.
// Everything here runs on the calling (listing worker) thread apart from the helper thread of one
// pass, which never outlives the call. HashProgress is called on the calling thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// Size of the read buffer of one pass (4 MiB).
inline constexpr std::size_t HashBufferSize = 4194304;

// What the listing engine offers a hash pass: progress reporting and the stop flag.
class HashProgress {
 public:
  virtual ~HashProgress() = default;
  // Bytes done of the total size of the file at path, with a label such as "MD5" (or several
  // joined by "/" when one pass computes several digests). Called with 0 before the first read
  // and, for files larger than HashBufferSize, after every chunk. The engine throttles it (100 ms)
  // and builds the status text, see HashProgressText.
  virtual void ReportProgress(const std::string& path, std::uint64_t done, std::uint64_t total,
                              const char* label) = 0;
  // True once the listing is to stop. Polled without waiting: before a pass starts and after
  // every progress report that follows a chunk.
  virtual bool StopRequested() = 0;
};

// The status text of a hash pass: label, " (", path, ") ", done * 100 / total as a whole number
// (a total of 0 counts as 1), "%". Example: "MD5 (/data/big.iso) 42%".
std::string HashProgressText(std::string_view label, std::string_view path, std::uint64_t done,
                             std::uint64_t total);

// The message of a failed buffer allocation, to be shown with the caption
// HashMemoryErrorCaption and the error icon.
std::string HashMemoryErrorText(std::string_view supportAddress);
inline constexpr const char* HashMemoryErrorCaption = "Memory allocation error";

// Which digests one pass computes.
struct HashRequest {
  bool crc32 = false;
  bool md5 = false;
  bool sha1 = false;
  // The pass keeps to the calling thread (other files are hashed beside it).
  bool oneThread = false;
  bool Any() const { return crc32 || md5 || sha1; }
};

enum class HashStatus { kDone, kCancelled, kUnreadable, kNoMemory };

// The outcome of one pass. Only the requested digests are filled.
struct HashResults {
  HashStatus status = HashStatus::kDone;
  std::uint32_t crc32 = 0;
  std::string md5;   // 32 hex digits, 32 blanks when unreadable, empty otherwise
  std::string sha1;  // 40 hex digits, 40 blanks when unreadable, empty otherwise
  std::uint64_t bytesHashed = 0;
};

// The bytes a pass reads: a stream of known size, read front to back.
class HashSource {
 public:
  virtual ~HashSource() = default;
  // False when the source could not be opened; then nothing else is called.
  virtual bool IsOpen() const = 0;
  // The size taken when the source was opened; the pass reads no further.
  virtual std::uint64_t Size() const = 0;
  // Reads up to len bytes at offset; returns the count read, 0 at the end, -1 on an error.
  virtual long long Read(std::uint64_t offset, std::uint8_t* buf, std::size_t len) = 0;
};

// One pass over a source; path is what the progress reports name. progress may be null.
// Returns true when the pass was cancelled (out.status is then kCancelled).
bool ComputeHashes(HashSource& source, const std::string& path, const HashRequest& want,
                   HashProgress* progress, HashResults& out);
// One pass over the file at path (a regular file; anything else is unreadable).
bool ComputeHashes(const std::string& path, const HashRequest& want, HashProgress* progress,
                   HashResults& out);

// Single-digest readers. Each returns true when cancelled. ComputeCrc32 writes 0 to crc first and
// leaves it 0 when the file is unreadable or the pass is cancelled; ComputeMd5 and ComputeSha1
// append the digest text (or the blanks of an unreadable file) and append nothing when cancelled.
bool ComputeCrc32(const std::string& path, HashProgress* progress, std::uint32_t& crc);
bool ComputeMd5(const std::string& path, HashProgress* progress, std::string& md5);
bool ComputeSha1(const std::string& path, HashProgress* progress, std::string& sha1);

// The hash group of a file record with its loaded states. Rules:
//   - a new record starts with every state unloaded;
//   - a digest is computed only while its column is shown and its state is unloaded, so it is
//     read once per record and reused when the row is written again (preview and file);
//   - a record carried into the next generation (same name and last-write time) keeps its
//     states; a file whose name or last-write time changed gets a new record;
//   - a cancelled pass leaves the states it would have set unloaded;
//   - an unreadable file or a failed allocation counts as loaded (with the values above).
struct FileHashes {
  std::uint32_t crc32 = 0;
  std::string md5;
  std::string sha1;
  bool crc32Loaded = false;
  bool md5Loaded = false;
  bool sha1Loaded = false;
};

// Stores the digests of a pass that was not cancelled into `state` and marks those of `want`
// loaded.
void StoreHashResults(const HashRequest& want, HashResults& results, FileHashes& state);

// Computes, in one pass, every digest that `shown` asks for and `state` has not loaded yet, and
// marks them loaded unless the pass was cancelled. Returns true when cancelled; *status (when
// given) receives the pass status, kDone when nothing needed computing.
bool LoadFileHashes(const std::string& path, const HashRequest& shown, HashProgress* progress,
                    FileHashes& state, HashStatus* status = nullptr);

// Cell texts. Directory rows get 8, 32 and 40 blanks. A file's CRC32 cell is "%08x" once loaded
// and 8 blanks while not; its MD5 and SHA-1 cells are the stored texts.
std::string Crc32Cell(const FileHashes& h, bool isDir);
std::string Md5Cell(const FileHashes& h, bool isDir);
std::string Sha1Cell(const FileHashes& h, bool isDir);

}  // namespace orvane
