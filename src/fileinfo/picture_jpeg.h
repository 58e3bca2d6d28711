// JPEG picture size and depth: from the first start-of-frame segment in the file's first bytes,
// then from a walk over the file's marker segments up to the start of the image data (so a big
// Exif block before the frame header does not hide it).
//
// Bounded: the walk stops at the first bad segment, at the image data, or after 20 segments
// that count (APP0, non-Exif APP1 and repeated comments pass free); each segment is at most
// 64 KiB and only a few of its bytes are read. No shared state; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace orvane {

// Random access to the bytes of one picture file: an open file or bytes in memory.
class PictureInput {
 public:
  virtual ~PictureInput() = default;
  virtual std::uint64_t Size() const = 0;
  // Copies up to len bytes at offset into out; returns how many it copied (fewer at the end of
  // the data, 0 past it or on a read error).
  virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t len) const = 0;
};

// A PictureInput over bytes in memory (which must outlive it).
class SpanPictureInput final : public PictureInput {
 public:
  explicit SpanPictureInput(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
  std::uint64_t Size() const override { return m_bytes.size(); }
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t len) const override;

 private:
  std::span<const std::uint8_t> m_bytes;
};

// Size and depth of a JPEG picture; 0 where unknown.
struct JpegSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t bitsPerPixel = 0;  // sample precision x number of components
};

// The first start-of-frame segment among the marker segments of the head bytes (the file's first
// bytes, SOI included).
JpegSize ScanJpegHead(std::span<const std::uint8_t> head);

// The last start-of-frame segment met while walking the file's segments from SOI to the start of
// scan; zeros when the input does not start with SOI or has no usable frame header.
JpegSize WalkJpegSegments(const PictureInput& in);

}  // namespace orvane
