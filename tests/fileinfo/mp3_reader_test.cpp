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

// Every value the reader gives, in column order: format, frequency, channels, length (or "-"),
// then track, title, artist, album, year, genre, comments.
std::string Summary(const Result& r) {
  if (!r.ok) return "not recognised";
  std::string s = r.media.audioFormat + "|" + std::to_string(r.media.samplingFrequency) + "|" +
                  std::to_string(r.media.channels) + "|" +
                  (r.media.hasLength ? std::to_string(r.media.length) : "-");
  for (const std::string* t : {&r.tags.track, &r.tags.title, &r.tags.artist, &r.tags.album,
                               &r.tags.year, &r.tags.genre, &r.tags.comments})
    s += "|" + *t;
  return s;
}

TEST(Mp3Header, ReservedValuesAreRejected) {
  const std::uint8_t reserved[][4] = {
      {0xFF, 0xEB, 0x90, 0x00},  // version 1
      {0xFF, 0xF9, 0x90, 0x00},  // layer 0
      {0xFF, 0xFB, 0xF0, 0x00},  // bitrate index 15
      {0xFF, 0xFB, 0x9C, 0x00},  // sampling-rate index 3
      {0xFF, 0xFB, 0x90, 0x02},  // emphasis 2
      {0xFF, 0xDB, 0x90, 0x00},  // broken sync
  };
  MpegFrameHeader h;
  for (const auto& c : reserved) EXPECT_FALSE(DecodeMpegHeader(c, h)) << int(c[1]) << int(c[2]);
}

TEST(Mp3Fixtures, EncoderOutput) {
  const std::pair<const char*, const char*> cases[] = {
      // CBR with ID3v2.3 in UTF-16 and ID3v1; equal texts keep the ID3v1 value.
      {"lame_cbr.mp3", "MPEG-1 Layer 3|3200|1|2000|7|Song|Artist|Album|2003|Rock|A comment"},
      // VBR: 117 frames from the Xing header, 576 samples each at 22.05 kHz.
      {"lame_vbr.mp3", "MPEG-2 Layer 3|2205|1|3000|||||||"},
      // ID3v2.4 in UTF-8, the year from the recording time.
      {"ffmpeg_v24.mp3", "MPEG-2 Layer 3|1600|1|2000|3|Café au lait|Zoë|Ångström|2021|Jazz|"},
      // ID3v1 cuts the album at 30 bytes, so the longer ID3v2 text wins.
      {"ffmpeg_v23.mp3",
       "MPEG-2 Layer 3|1600|1|2000|12|Song (Remix)|Artist|"
       "Ångström: A Very Long Album Title|1999|Synth Pop|"},
      // ffmpeg writes the ID3v1 texts as UTF-8: read so, they are no longer longer than the
      // ID3v2 texts, and the title is not "ZÃ¼rich". Half a second: no whole second of length.
      {"ffmpeg_utf8_v1.mp3",
       "MPEG-2.5 Layer 3|800|1|-||Zürich|Zürcher Kammerorchester & Chöre|Genève|2020|Unknown|"},
      // 31 frames of 1152 samples at 16 kHz.
      {"layer2.mp3", "MPEG-2 Layer 2|1600|1|2000|||||||"},
  };
  for (const auto& [file, expected] : cases) {
    Result r;
    r.ok = ReadMp3Info(test::DataPath(std::string("mp3/") + file), r.media, r.tags);
    EXPECT_EQ(Summary(r), expected) << file;
  }
}

TEST(Mp3Fixtures, Id3v1WrittenInUtf8) {
  const std::string text = test::ReadFile(test::DataPath("mp3/ffmpeg_utf8_v1.mp3"));
  const Bytes file(text.begin(), text.end());
  Id3Texts v1;
  ASSERT_TRUE(ReadId3v1(SpanMp3Input(file), v1));
  EXPECT_EQ(v1.title, "Zürich");
  EXPECT_EQ(v1.album, "Genève");
  // Cut by ffmpeg at the field's 30 bytes inside "ö".
  EXPECT_EQ(v1.artist, "Zürcher Kammerorchester & Ch");
  EXPECT_EQ(v1.year, "2020");
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

TEST(Mp3Stream, LengthFromAudioBytesAndFrameSearch) {
  const std::string cbr160 = "MPEG-1 Layer 3|4410|2|4000|||||||";  // 160 * 1152 / 44100 s
  EXPECT_EQ(Summary(Read(Frames(kCbr128, 160))), cbr160);
  // Leading garbage is skipped; so is an ID3v2 tag whose payload looks like other frames.
  Bytes file(3000, 0x55);
  Append(file, Frames(kCbr128, 160));
  EXPECT_EQ(Summary(Read(file)), cbr160);
  const std::uint8_t other[4] = {0xFF, 0xE3, 0x18, 0x00};  // MPEG-2.5, 72-byte frames
  const Bytes fake = Frames(other, 20);
  file = Id3v23("APIC", std::string(fake.begin(), fake.end()));
  Append(file, Frames(kCbr128, 160));
  EXPECT_EQ(Summary(Read(file)).substr(0, 16), "MPEG-1 Layer 3|4");
  // 39 frames make 1.02 s, 38 frames 0.99 s (no length). The ID3v1 block is not audio, and a
  // header three bytes before the end of the first 8 KiB scan block is still found.
  file = Frames(kCbr128, 38);
  file.resize(file.size() + 417 - 128, 0);
  Append(file, Id3v1("T", 1));
  EXPECT_FALSE(Read(file).media.hasLength);
  file.assign(8192 - 3, 0);
  Append(file, Frames(kCbr128, 39));
  EXPECT_EQ(Read(file).media.length, 1000);
}

TEST(Mp3Stream, TooShortOrUnconfirmedIsNotRecognised) {
  Bytes small = Frames(kCbr128, 2);
  small.resize(23);
  EXPECT_EQ(Summary(Read(small)), "not recognised");
  EXPECT_EQ(Summary(Read(Frame(kCbr128))), "not recognised");  // nothing confirms the frame
  Bytes tagsOnly = Id3v23("TIT2", "Title", 500);
  Append(tagsOnly, Id3v1("Title", 3));
  Result r = Read(tagsOnly);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.tags.title, "");
  EXPECT_FALSE(r.media.hasSamplingFrequency);
}

TEST(Mp3Stream, OtherFrameCounts) {
  // Alternating 128 and 320 kbit/s frames (417 and 1044 bytes) without a Xing header: the
  // average of the 21 examined frames (the first counted twice) is 15027 / 21 = 715 bytes.
  const std::uint8_t fast[4] = {0xFF, 0xFB, 0xE0, 0x00};
  Bytes file;
  for (int i = 0; i < 100; ++i) Append(file, Frame(i % 2 ? fast : kCbr128));
  EXPECT_EQ(Read(file).media.length,
            static_cast<std::int32_t>(file.size() / 715 * 1152 / 44100) * 1000);
  // Layer 1 frames carry 384 samples: 400 frames at 44.1 kHz are 3.48 s.
  const std::uint8_t layer1[4] = {0xFF, 0xFF, 0x10, 0x00};
  EXPECT_EQ(Summary(Read(Frames(layer1, 400))), "MPEG-1 Layer 1|4410|2|3000|||||||");
}

// A stream whose first frame holds a Xing-style header at the given offset.
Bytes XingStream(const std::uint8_t (&header)[4], std::size_t offset, const char* tag,
                 std::uint32_t flags, std::uint32_t frames, int count = 100) {
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
    int samples, rate;
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
    EXPECT_EQ(Read(XingStream(c.header, c.offset, "Xing", 0x0F, 5000)).media.length,
              5000 * c.samples / c.rate * 1000);
    // One byte off, the header is not seen and the 100 frames decide.
    EXPECT_EQ(Read(XingStream(c.header, c.offset + 1, "Xing", 0x0F, 5000)).media.length,
              100 * c.samples / c.rate * 1000);
  }
  // "Info" is not taken; a zero, missing or oversized count leaves the length empty.
  const std::uint8_t mono[4] = {0xFF, 0xFB, 0x90, 0xC0};
  EXPECT_EQ(Read(XingStream(mono, 21, "Info", 0x0F, 5000)).media.length, 2000);
  for (auto [flags, frames] :
       {std::pair<std::uint32_t, std::uint32_t>{0x0F, 0}, {0x0E, 5000}, {0x01, 0xFFFFFFFF}}) {
    Result r = Read(XingStream(mono, 21, "Xing", flags, frames));
    EXPECT_TRUE(r.ok);
    EXPECT_FALSE(r.media.hasLength) << flags << " " << frames;
  }
}

TEST(Mp3Tags, Id3v1GenreTrackAndMerging) {
  for (auto [genre, name] : {std::pair<std::uint8_t, const char*>{147, "Synth Pop"},
                             {148, "Unknown"},
                             {255, "Unknown"}}) {
    Bytes file = Frames(kCbr128, 30);
    Append(file, Id3v1("Song", genre, 7));
    EXPECT_EQ(Summary(Read(file)), std::string("MPEG-1 Layer 3|4410|2|-|7|Song||||") + name + "|");
  }
  // The longer ID3v2 title wins; with equal lengths the ID3v1 one stays.
  for (auto [v2, expected] :
       {std::pair<const char*, const char*>{"Song (Remix)", "Song (Remix)"}, {"Tune", "Song"}}) {
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
