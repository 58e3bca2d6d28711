// The MP3 reader: finds the MPEG audio stream of an ".mp3" file, works out its format, sampling
// rate, channel count and playing time (from a Xing header or from the frame headers), and
// reads the ID3v1 and ID3v2 tag texts.
//
// The file is read in pieces: the ID3v2 tag at its start, 8 KiB blocks while looking for frames,
// one frame for the Xing header and the last 128 bytes for ID3v1; it is never read whole. Bad
// content means "not recognised" and nothing is written. No shared state: calls may run on any
// thread, each with its own records.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/id3_tags.h"
#include "fileinfo/media_info.h"

namespace orvane {

// One decoded MPEG audio frame header (MPEG-1, MPEG-2 and MPEG-2.5, Layers 1 to 3).
struct MpegFrameHeader {
  int version = 0;       // raw field: 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  int layer = 0;         // raw field: 3 Layer 1, 2 Layer 2, 1 Layer 3
  int bitrateIndex = 0;  // 0 is free format
  int rateIndex = 0;
  int channelMode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
  bool padding = false;
  int bitrate = 0;     // kbit/s (0 for free format)
  int sampleRate = 0;  // Hz
  int frameSize = 0;   // bytes, padding included

  int Channels() const { return channelMode == 3 ? 1 : 2; }
  int LayerNumber() const { return 4 - layer; }
  // PCM samples one frame carries: 384 (Layer 1), 1152 (Layer 2, and Layer 3 of MPEG-1) or 576
  // (Layer 3 of MPEG-2 and MPEG-2.5).
  int SamplesPerFrame() const;
  // "MPEG-1 Layer 3" and the like.
  std::string FormatText() const;
};

// Decodes four header bytes; false for a bad sync word or a reserved version, layer, bitrate,
// sampling rate or emphasis.
bool DecodeMpegHeader(std::span<const std::uint8_t, 4> p, MpegFrameHeader& out);

// Reads an MP3 file from any input. True when a confirmed pair of frames was found; then the
// audio format, sampling frequency, channels and (when it comes out above zero) the length are
// set in media, and the seven tag texts (plus the composer) in tags. False leaves both alone.
bool ReadMp3Stream(const Mp3Input& in, MediaInfo& media, Mp3Tags& tags);

// The same over a whole file held in memory (tests and fuzzing).
bool ReadMp3Bytes(std::span<const std::uint8_t> bytes, MediaInfo& media, Mp3Tags& tags);

// Reads the file at path when its name ends in "mp3" (any case); false for other names, files
// that cannot be opened and files without MPEG audio, with nothing written.
bool ReadMp3Info(const std::string& path, MediaInfo& media, Mp3Tags& tags);

}  // namespace orvane
