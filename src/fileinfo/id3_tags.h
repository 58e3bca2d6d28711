// ID3 tags of MP3 files: the 128-byte ID3v1 tag at the end of the file and the ID3v2 tag at its
// start, read into the tag texts that the MP3 columns show.
//
// Everything in a tag is untrusted: sizes are capped by the bytes that are really there, and a
// damaged tag gives fewer or empty texts, never a failure. Pure functions over a caller-owned
// input; calls on different inputs may run on any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fileinfo/byte_source.h"

namespace orvane {

// The bytes a reader parses.
using Mp3Input = ByteSource;
using SpanMp3Input = SpanByteSource;

// The texts of one tag, in UTF-8. Empty when the tag does not carry them.
struct Id3Texts {
  std::string track;
  std::string title;
  std::string artist;
  std::string album;
  std::string year;
  std::string genre;
  std::string comments;
  std::string composer;  // ID3v2 only
};

// ID3v1: true when the last 128 bytes of the input are a "TAG" block; its texts then go into out
// (title, artist, album and year as stored, the comment trimmed, the track from the comment's
// last byte, the genre byte as its name).
bool ReadId3v1(const Mp3Input& in, Id3Texts& out);

// One ID3v1 text field (up to its first zero byte) in UTF-8. The format names no encoding and
// common encoders (ffmpeg among them) write UTF-8: a field whose bytes beyond ASCII are valid
// UTF-8 is taken as UTF-8, also when the field is full and its last character was cut short,
// which is then dropped. Any other field is text in the ANSI code page.
std::string DecodeId3v1Field(std::span<const std::uint8_t> field);

// The 10-byte header of an ID3v2 tag.
struct Id3v2Header {
  std::uint8_t version = 0;  // major version: 3 for ID3v2.3, 4 for ID3v2.4
  std::uint8_t flags = 0;    // 0x80 unsynchronisation, 0x40 extended header, 0x10 footer
  std::uint32_t size = 0;    // bytes of the tag after the header, footer not counted
  // Bytes the whole tag takes at the start of the file (header, body and footer).
  std::uint64_t TotalSize() const;
};

// Decodes the header at the start of the bytes; false when they do not start an ID3v2 tag.
bool ParseId3v2Header(std::span<const std::uint8_t> head, Id3v2Header& out);

// ID3v2: true when the input starts with an ID3v2 tag. The first usable frame of each of
// "TIT2", "TPE1", "TALB", "TYER" (or, without it, the year of "TDRC"), "TRCK", "TCON", "COMM" and
// "TCOM" gives the text of its field; compressed and encrypted frames are passed over.
bool ReadId3v2(const Mp3Input& in, Id3Texts& out);

// Decodes the content of a text frame (the encoding byte first), or of a "COMM" frame when
// isComment, into trimmed UTF-8. Encodings: 0 the ANSI code page, 1 UTF-16 with a byte-order
// mark, 2 UTF-16 big-endian, 3 UTF-8; any other first byte makes the whole content ANSI text.
// Unusable content gives an empty text.
std::string DecodeId3v2Text(std::span<const std::uint8_t> content, bool isComment);

// Undoes ID3v2 unsynchronisation: drops every zero byte that directly follows a 0xFF byte.
std::vector<std::uint8_t> RemoveUnsynchronisation(std::span<const std::uint8_t> bytes);

}  // namespace orvane
