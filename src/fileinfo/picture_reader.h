// The picture reader: format, width, height and bits per pixel of GIF, JPEG, BMP, PNG, PCX and
// TGA files from their own header bytes (the first 512 bytes of the file, plus a walk over the
// marker segments for JPEG). The content decides the format, not the file's extension. TIFF is
// recognised but gives no values.
//
// Bad or unknown content gives no values, never a failure. No shared state; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/media_info.h"
#include "fileinfo/picture_jpeg.h"

namespace orvane {

// Bytes at the start of a file that the header tests look at.
inline constexpr std::size_t kPictureHeadSize = 512;

enum class PictureFormat { kNone, kGif, kJpeg, kBmp, kPng, kPcx, kTiff, kTga };

// What the header bytes tell; 0 where a value is unknown.
struct PictureHeader {
  PictureFormat format = PictureFormat::kNone;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t bitsPerPixel = 0;
};

// Runs the header tests in turn (GIF, JPEG, BMP, PNG, PCX, TIFF, TGA) over the first bytes of a
// file (at most kPictureHeadSize are looked at); the first that matches decides. For JPEG only
// the frame header found among these bytes is used.
PictureHeader IdentifyPicture(std::span<const std::uint8_t> head);

// "GIF", "JPEG", "BMP", "PNG", "PCX" or "TGA"; empty for TIFF and for no format.
const char* PictureFormatText(PictureFormat format);

// Reads a picture from any input: the header tests on its first bytes and, for JPEG, the
// segment walk. False (media untouched) when the input is empty. Otherwise sets the format text
// and each of width, height and bits per pixel, present exactly when above 0.
bool ReadPictureStream(const PictureInput& in, MediaInfo& media);

// The same over a whole file held in memory (tests and fuzzing).
bool ReadPictureBytes(std::span<const std::uint8_t> bytes, MediaInfo& media);

// Reads the picture file at path (whatever its extension); false, with nothing written, when it
// cannot be opened or read or is empty.
bool ReadPictureInfo(const std::string& path, MediaInfo& media);

}  // namespace orvane
