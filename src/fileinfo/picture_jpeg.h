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

#include "fileinfo/byte_source.h"

namespace orvane {

// The bytes a reader parses.
using PictureInput = ByteSource;
using SpanPictureInput = SpanByteSource;

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
