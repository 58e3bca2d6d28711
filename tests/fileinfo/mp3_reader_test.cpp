#include "fileinfo/mp3_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "test_util.h"

namespace orvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// MPEG-1 Layer 3, 128 kbit/s, 44.1 kHz, stereo: 417 bytes a frame.
constexpr std::uint8_t kCbr128[4] = {0xFF, 0xFB, 0x90, 0x00};

void Append(Bytes& out, const Bytes& more) {
  out.insert(out.end(), more.begin(), more.end());
}
void Append(Bytes& out, const std::string& more) {
  out.insert(out.end(), more.begin(), more.end());
}

// One frame with the given header, zero-filled to its size.
Bytes Frame(const std::uint8_t (&header)[4]) {
  MpegFrameHeader h;
  EXPECT_TRUE(DecodeMpegHeader(header, h));
  Bytes f(static_cast<std::size_t>(h.frameSize), 0);
  std::memcpy(f.data(), header, 4);
  return f;
}

Bytes Frames(const std::uint8_t (&header)[4], int count) {
  Bytes out;
  for (int i = 0; i < count; ++i) Append(out, Frame(header));
  return out;
}

Bytes Id3v1(const std::string& title, std::uint8_t genre, std::uint8_t track = 0) {
  Bytes tag(128, 0);
  std::memcpy(tag.data(), "TAG", 3);
  std::memcpy(tag.data() + 3, title.data(), std::min<std::size_t>(title.size(), 30));
  tag[97 + 29] = track;
  tag[127] = genre;
  return tag;
}

// An ID3v2.3 tag holding one text frame in the ANSI encoding.
Bytes Id3v23(const std::string& id, const std::string& text, std::size_t padding = 0) {
  Bytes frame;
  Append(frame, id);
  std::uint32_t size = static_cast<std::uint32_t>(text.size() + 1);
  for (int s = 24; s >= 0; s -= 8) frame.push_back(static_cast<std::uint8_t>(size >> s));
  Append(frame, Bytes{0, 0, 0});  // flags, then the encoding byte
  Append(frame, text);
  frame.resize(frame.size() + padding, 0);
  Bytes tag = {'I', 'D', '3', 3, 0, 0};
  std::uint32_t tagSize = static_cast<std::uint32_t>(frame.size());
  for (int s = 21; s >= 0; s -= 7) tag.push_back(static_cast<std::uint8_t>((tagSize >> s) & 0x7F));
  Append(tag, frame);
  return tag;
}

struct Result {
  bool ok = false;
  MediaInfo media;
  Mp3Tags tags;
};

Result Read(const Bytes& bytes) {
  Result r;
  r.ok = ReadMp3Bytes(bytes, r.media, r.tags);
  return r;
}

Result ReadFixture(const std::string& name) {
  Result r;
  r.ok = ReadMp3Info(test::DataPath("mp3/" + name), r.media, r.tags);
  return r;
}

TEST(Mp3Header, DecodesFieldsAndFrameSizes) {
  MpegFrameHeader h;
  ASSERT_TRUE(DecodeMpegHeader(kCbr128, h));
  EXPECT_EQ(h.FormatText(), "MPEG-1 Layer 3");
  EXPECT_EQ(h.sampleRate, 44100);
  EXPECT_EQ(h.frameSize, 417);
  EXPECT_EQ(h.Channels(), 2);
  const std::uint8_t padded[4] = {0xFF, 0xFB, 0x92, 0xC0};  // padding, single channel
  ASSERT_TRUE(DecodeMpegHeader(padded, h));
  EXPECT_EQ(h.frameSize, 418);
  EXPECT_EQ(h.Channels(), 1);
  const std::uint8_t layer1[4] = {0xFF, 0xFF, 0x90, 0x00};  // MPEG-1 Layer 1, 288 kbit/s
  ASSERT_TRUE(DecodeMpegHeader(layer1, h));
  EXPECT_EQ(h.frameSize, (12000 * 288 / 44100) * 4);
  EXPECT_EQ(h.SamplesPerFrame(), 384);
  const std::uint8_t mpeg25[4] = {0xFF, 0xE3, 0x18, 0x00};  // MPEG-2.5 Layer 3, 8 kbit/s, 8 kHz
  ASSERT_TRUE(DecodeMpegHeader(mpeg25, h));
  EXPECT_EQ(h.FormatText(), "MPEG-2.5 Layer 3");
  EXPECT_EQ(h.frameSize, 144000 * 8 / 16000);
  EXPECT_EQ(h.SamplesPerFrame(), 576);
}

TEST(Mp3Header, RejectsReservedValues) {
  MpegFrameHeader h;
  const std::uint8_t cases[][4] = {
      {0xFF, 0xEB, 0x90, 0x00},  // version 1 (reserved)
      {0xFF, 0xF9, 0x90, 0x00},  // layer 0
      {0xFF, 0xFB, 0xF0, 0x00},  // bitrate index 15
      {0xFF, 0xFB, 0x9C, 0x00},  // sampling-rate index 3
      {0xFF, 0xFB, 0x90, 0x02},  // emphasis 2
      {0xFF, 0xDB, 0x90, 0x00},  // broken sync
  };
  for (const auto& c : cases) EXPECT_FALSE(DecodeMpegHeader(c, h)) << int(c[1]) << " " << int(c[2]);
}

TEST(Mp3Fixtures, LameConstantBitrateWithBothTags) {
  Result r = ReadFixture("lame_cbr.mp3");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.media.audioFormat, "MPEG-1 Layer 3");
  EXPECT_TRUE(r.media.hasSamplingFrequency);
  EXPECT_EQ(r.media.samplingFrequency, 3200);
  EXPECT_EQ(r.media.channels, 1);
  EXPECT_TRUE(r.media.hasLength);
  EXPECT_EQ(r.media.length, 2000);  // 2.5 s of audio
  EXPECT_EQ(r.tags.title, "Song");
  EXPECT_EQ(r.tags.artist, "Artist");
  EXPECT_EQ(r.tags.album, "Album");
  EXPECT_EQ(r.tags.year, "2003");
  EXPECT_EQ(r.tags.comments, "A comment");
  EXPECT_EQ(r.tags.track, "7");
  EXPECT_EQ(r.tags.genre, "Rock");
}

TEST(Mp3Fixtures, LameVariableBitrateTakesXingFrameCount) {
  Result r = ReadFixture("lame_vbr.mp3");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.media.audioFormat, "MPEG-2 Layer 3");
  EXPECT_EQ(r.media.samplingFrequency, 2205);
  EXPECT_EQ(r.media.channels, 1);
  EXPECT_EQ(r.media.length, 3000);  // 117 frames of 576 samples at 22.05 kHz
  EXPECT_EQ(r.tags.title, "");
  EXPECT_EQ(r.tags.genre, "");
}

TEST(Mp3Fixtures, FfmpegId3v24Utf8Texts) {
  Result r = ReadFixture("ffmpeg_v24.mp3");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.media.audioFormat, "MPEG-2 Layer 3");
  EXPECT_EQ(r.media.samplingFrequency, 1600);
  EXPECT_EQ(r.media.length, 2000);
  EXPECT_EQ(r.tags.title, "Café au lait");
  EXPECT_EQ(r.tags.artist, "Zoë");
  EXPECT_EQ(r.tags.album, "Ångström");
  EXPECT_EQ(r.tags.year, "2021");  // from the recording time, ID3v2.4 has no TYER
  EXPECT_EQ(r.tags.track, "3");
  EXPECT_EQ(r.tags.genre, "Jazz");
}

TEST(Mp3Fixtures, FfmpegId3v23LongerTextWins) {
  Result r = ReadFixture("ffmpeg_v23.mp3");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.tags.title, "Song (Remix)");
  EXPECT_EQ(r.tags.artist, "Artist");
  // ID3v1 cuts the album at 30 bytes; the UTF-16 ID3v2 text is longer and wins.
  EXPECT_EQ(r.tags.album, "Ångström: A Very Long Album Title");
  EXPECT_EQ(r.tags.year, "1999");
  EXPECT_EQ(r.tags.track, "12");
  EXPECT_EQ(r.tags.genre, "Synth Pop");
}

TEST(Mp3Fixtures, Mpeg2Layer2CountsItsFullFrames) {
  Result r = ReadFixture("layer2.mp3");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.media.audioFormat, "MPEG-2 Layer 2");
  EXPECT_EQ(r.media.samplingFrequency, 1600);
  EXPECT_EQ(r.media.length, 2000);  // 31 frames of 1152 samples at 16 kHz
}

TEST(Mp3Path, ExtensionDecidesAndFailureWritesNothing) {
  test::TempDir dir;
  const std::string mp3 = test::ReadFile(test::DataPath("mp3/lame_cbr.mp3"));
  test::WriteFile(dir / "song.MP3", mp3);
  test::WriteFile(dir / "song.mp3.bak", mp3);
  Result r;
  EXPECT_TRUE(ReadMp3Info(dir / "song.MP3", r.media, r.tags));
  MediaInfo media;
  Mp3Tags tags;
  media.audioFormat = "before";
  EXPECT_FALSE(ReadMp3Info(dir / "song.mp3.bak", media, tags));
  EXPECT_FALSE(ReadMp3Info(dir / "missing.mp3", media, tags));
  std::filesystem::create_directory(dir / "folder.mp3");
  EXPECT_FALSE(ReadMp3Info(dir / "folder.mp3", media, tags));
  EXPECT_EQ(media.audioFormat, "before");
  EXPECT_EQ(tags.title, "");
}

TEST(Mp3Stream, ConstantBitrateLengthFromAudioBytes) {
  // 160 frames of 417 bytes: 160 * 1152 / 44100 = 4.18 s.
  Bytes file = Frames(kCbr128, 160);
  Result r = Read(file);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.media.audioFormat, "MPEG-1 Layer 3");
  EXPECT_EQ(r.media.samplingFrequency, 4410);
  EXPECT_EQ(r.media.channels, 2);
  EXPECT_EQ(r.media.length, 4000);
  // 39 frames make 1.02 s, 38 frames 0.99 s: the ID3v1 block is not counted as audio.
  file = Frames(kCbr128, 38);
  file.resize(file.size() + 417 - 128, 0);
  Append(file, Id3v1("T", 1));
  EXPECT_FALSE(Read(file).media.hasLength);
}

TEST(Mp3Stream, TooShortOrUnconfirmedIsNotRecognised) {
  MediaInfo media;
  Mp3Tags tags;
  Bytes small(kCbr128, kCbr128 + 4);
  small.resize(23, 0);
  EXPECT_FALSE(ReadMp3Bytes(small, media, tags));
  EXPECT_FALSE(ReadMp3Bytes(Frame(kCbr128), media, tags));  // one frame, nothing follows
  Bytes tagsOnly = Id3v23("TIT2", "Title", 500);
  Append(tagsOnly, Id3v1("Title", 3));
  EXPECT_FALSE(ReadMp3Bytes(tagsOnly, media, tags));
  EXPECT_EQ(tags.title, "");
  EXPECT_FALSE(media.hasSamplingFrequency);
}

TEST(Mp3Stream, FindsHeaderAcrossScanBlockBoundary) {
  // The first header starts three bytes before the end of the first 8 KiB block; 39 frames
  // make a length of 1 s, 38 would round down to nothing.
  Bytes file(8192 - 3, 0);
  Append(file, Frames(kCbr128, 39));
  Result r = Read(file);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.media.length, 1000);
}

TEST(Mp3Stream, GarbageBetweenFramesIsSkipped) {
  Bytes file(3000, 0x55);
  Append(file, Frames(kCbr128, 100));
  Result r = Read(file);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.media.length, 2000);  // 100 frames = 2.6 s
}

TEST(Mp3Stream, FramesInsideId3v2TagAreNotAudio) {
  // A tag whose binary payload looks like MPEG-2.5 frames, followed by the real stream.
  const std::uint8_t fake[4] = {0xFF, 0xE3, 0x18, 0x00};
  Bytes payload = Frames(fake, 20);
  Bytes file = Id3v23("APIC", std::string(payload.begin(), payload.end()));
  Append(file, Frames(kCbr128, 100));
  Result r = Read(file);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.media.audioFormat, "MPEG-1 Layer 3");
  EXPECT_EQ(r.media.samplingFrequency, 4410);
}

// A first frame carrying a Xing header with the given frame count at the given offset.
Bytes XingStream(const std::uint8_t (&header)[4], std::size_t offset, const char* tag,
                 std::uint32_t flags, std::uint32_t frames, int count) {
  Bytes file = Frames(header, count);
  std::memcpy(file.data() + offset, tag, 4);
  for (int i = 0; i < 4; ++i) {
    file[offset + 4 + i] = static_cast<std::uint8_t>(flags >> (24 - 8 * i));
    file[offset + 8 + i] = static_cast<std::uint8_t>(frames >> (24 - 8 * i));
  }
  return file;
}

TEST(Mp3Xing, FrameCountAtEachOffset) {
  struct Case {
    std::uint8_t header[4];
    std::size_t offset;
    int samples;
    int rate;
  };
  const Case cases[] = {
      {{0xFF, 0xFB, 0x90, 0xC0}, 4 + 17, 1152, 44100},  // MPEG-1, single channel
      {{0xFF, 0xFB, 0x90, 0x40}, 4 + 32, 1152, 44100},  // MPEG-1, joint stereo
      {{0xFF, 0xF3, 0x90, 0xC0}, 4 + 9, 576, 22050},    // MPEG-2, single channel
      {{0xFF, 0xF3, 0x90, 0x80}, 4 + 17, 576, 22050},   // MPEG-2, dual channel
      {{0xFF, 0xE3, 0x90, 0x00}, 4 + 17, 576, 11025},   // MPEG-2.5, stereo
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset);
    const std::uint32_t frames = 5000;
    Result r = Read(XingStream(c.header, c.offset, "Xing", 0x0F, frames, 100));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.media.length, static_cast<std::int32_t>(frames * c.samples / c.rate) * 1000);
    // Misplaced by one byte, the header is not seen: the length comes from the 100 frames.
    Result off = Read(XingStream(c.header, c.offset + 1, "Xing", 0x0F, frames, 100));
    ASSERT_TRUE(off.ok);
    EXPECT_EQ(off.media.length, 100 * c.samples / c.rate * 1000);
  }
}

TEST(Mp3Xing, InfoHeaderIsIgnoredAndMissingCountLeavesLengthEmpty) {
  const std::uint8_t mono[4] = {0xFF, 0xFB, 0x90, 0xC0};
  Result info = Read(XingStream(mono, 21, "Info", 0x0F, 5000, 100));
  EXPECT_EQ(info.media.length, 2000);  // 100 frames: 2.6 s
  Result zero = Read(XingStream(mono, 21, "Xing", 0x0F, 0, 100));
  ASSERT_TRUE(zero.ok);
  EXPECT_FALSE(zero.media.hasLength);
  Result noCount = Read(XingStream(mono, 21, "Xing", 0x0E, 5000, 100));
  ASSERT_TRUE(noCount.ok);
  EXPECT_FALSE(noCount.media.hasLength);
  // A count that would not fit in the length column leaves it empty too.
  Result huge = Read(XingStream(mono, 21, "Xing", 0x01, 0xFFFFFFFF, 10));
  ASSERT_TRUE(huge.ok);
  EXPECT_FALSE(huge.media.hasLength);
}

TEST(Mp3Stream, VariableBitrateWithoutHeaderAveragesFrameSizes) {
  // Alternating 128 and 320 kbit/s frames (417 and 1044 bytes): the average of the 21 examined
  // frames (the first counted twice) is 11 * 417 + 10 * 1044 = 15027 / 21 = 715 bytes.
  const std::uint8_t fast[4] = {0xFF, 0xFB, 0xE0, 0x00};
  Bytes file;
  for (int i = 0; i < 100; ++i) Append(file, Frame(i % 2 ? fast : kCbr128));
  Result r = Read(file);
  ASSERT_TRUE(r.ok);
  const std::uint64_t frames = file.size() / 715;
  EXPECT_EQ(r.media.length, static_cast<std::int32_t>(frames * 1152 / 44100 * 1000));
}

TEST(Mp3Stream, Layer1Uses384SamplesAFrame) {
  const std::uint8_t layer1[4] = {0xFF, 0xFF, 0x10, 0x00};  // MPEG-1 Layer 1, 32 kbit/s
  Bytes file = Frames(layer1, 400);                         // 400 * 384 / 44100 = 3.48 s
  Result r = Read(file);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.media.audioFormat, "MPEG-1 Layer 1");
  EXPECT_EQ(r.media.length, 3000);
}

TEST(Mp3Tags, Id3v1GenreTrackAndMerging) {
  struct Case {
    std::uint8_t genre;
    const char* name;
  };
  for (const Case& c :
       {Case{147, "Synth Pop"}, Case{148, "Unknown"}, Case{255, "Unknown"}, Case{0, "Blues"}}) {
    Bytes file = Frames(kCbr128, 30);
    Append(file, Id3v1("Song", c.genre, 7));
    Result r = Read(file);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.tags.genre, c.name);
    EXPECT_EQ(r.tags.track, "7");
    EXPECT_EQ(r.tags.title, "Song");
  }
  // The longer ID3v2 title wins; with equal lengths the ID3v1 one stays.
  for (const auto& [v2, expected] :
       {std::pair<std::string, std::string>{"Song (Remix)", "Song (Remix)"},
        {"Tune", "Song"},
        {"Hit", "Song"}}) {
    Bytes file = Id3v23("TIT2", v2);
    Append(file, Frames(kCbr128, 30));
    Append(file, Id3v1("Song", 1));
    EXPECT_EQ(Read(file).tags.title, expected);
  }
}

// Truncated and bit-flipped copies of every MP3 seed go through the reader without a crash,
// a hang or a sanitizer report.
TEST(Mp3Replay, SeedsTruncatedAndFlipped) {
  std::mt19937 rng(1234);
  int seeds = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(ORVANE_SOURCE_DIR) + "/fuzz/seeds/mp3")) {
    const std::string text = test::ReadFile(entry.path().string());
    const Bytes seed(text.begin(), text.end());
    ++seeds;
    MediaInfo media;
    Mp3Tags tags;
    ReadMp3Bytes(seed, media, tags);
    for (std::size_t len = 0; len < seed.size(); len += 1 + len / 8)
      ReadMp3Bytes(std::span(seed).first(len), media, tags);
    for (int i = 0; i < 300 && !seed.empty(); ++i) {
      Bytes damaged = seed;
      for (int k = 0; k < 4; ++k)
        damaged[rng() % damaged.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
      ReadMp3Bytes(damaged, media, tags);
    }
  }
  EXPECT_GT(seeds, 4);
}

}  // namespace
}  // namespace orvane
