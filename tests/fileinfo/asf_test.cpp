// Windows Media: files made by ffmpeg (tests/data/asf/make.sh) and headers built here.
#include "fileinfo/asf_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace orvane {
namespace {

std::string Le(std::uint64_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> (8 * i));
  return s;
}
// A GUID as stored in files: the first three groups little-endian.
std::string Guid(const std::string& text) {
  auto hex = [&](std::size_t at, int bytes) {
    return std::stoull(text.substr(at, static_cast<std::size_t>(bytes) * 2), nullptr, 16);
  };
  std::string g = Le(hex(0, 4), 4) + Le(hex(9, 2), 2) + Le(hex(14, 2), 2);
  for (std::size_t at : {19, 21, 24, 26, 28, 30, 32, 34}) g += static_cast<char>(hex(at, 1));
  return g;
}
const std::string kHeader = Guid("75B22630-668E-11CF-A6D9-00AA0062CE6C");
const std::string kFileProperties = Guid("8CABDCA1-A947-11CF-8EE4-00C00C205365");
const std::string kStreamProperties = Guid("B7DC0791-A9B7-11CF-8EE6-00C00C205365");
const std::string kAudioMedia = Guid("F8699E40-5B4D-11CF-A8FD-00805F5C442B");
const std::string kVideoMedia = Guid("BC19EFC0-5B4D-11CF-A8FD-00805F5C442B");
const std::string kHeaderExtension = Guid("5FBF03B5-A92E-11CF-8EE3-00C00C205365");
const std::string kExtStreamProperties = Guid("14E6A5CB-C672-4332-8399-A96952065B5A");
const std::string kContentDescription = Guid("75B22633-668E-11CF-A6D9-00AA0062CE6C");
const std::string kExtContentDescription = Guid("D2D0A440-E307-11D2-97F0-00A0C95EA850");

std::string Obj(const std::string& guid, const std::string& body) {
  return guid + Le(24 + body.size(), 8) + body;
}
std::string Asf(const std::string& objects, std::uint32_t count) {
  return kHeader + Le(30 + objects.size(), 8) + Le(count, 4) + "\x01\x02" + objects;
}
std::string FileProperties(std::uint64_t duration, std::uint64_t preroll) {
  return Obj(kFileProperties, std::string(40, '\0') + Le(duration, 8) + Le(0, 8) + Le(preroll, 8) +
                                  std::string(16, '\0'));
}
std::string Stream(const std::string& type, int number, const std::string& data) {
  return Obj(kStreamProperties, type + std::string(24, '\0') + Le(data.size(), 4) + Le(0, 4) +
                                    Le(static_cast<std::uint64_t>(number), 2) + Le(0, 4) + data);
}
std::string Video(std::uint32_t w, std::uint32_t h, const std::string& codec) {
  return Le(w, 4) + Le(h, 4) + "\x02" + Le(40, 2) + Le(40, 4) + Le(w, 4) + Le(h, 4) + Le(1, 2) +
         Le(24, 2) + codec + std::string(20, '\0');
}
std::string Audio(int tag, int channels, int rate, int bits) {
  return Le(static_cast<std::uint64_t>(tag), 2) + Le(static_cast<std::uint64_t>(channels), 2) +
         Le(static_cast<std::uint64_t>(rate), 4) + Le(16000, 4) + Le(4, 2) +
         Le(static_cast<std::uint64_t>(bits), 2) + Le(0, 2);
}
std::string Extension(const std::string& objects) {
  return Obj(kHeaderExtension, std::string(16, '\0') + Le(6, 2) + Le(objects.size(), 4) + objects);
}
std::string StreamTiming(int number, std::uint64_t timePerFrame) {
  return Obj(kExtStreamProperties, std::string(48, '\0') +
                                       Le(static_cast<std::uint64_t>(number), 2) + Le(0, 2) +
                                       Le(timePerFrame, 8) + Le(0, 4));
}
// UTF-16 with its terminating zero, for ASCII texts.
std::string Wide(const std::string& s) {
  std::string w;
  for (char c : s) w += std::string{c, '\0'};
  return w + std::string(2, '\0');
}
std::string Content(const std::string& title, const std::string& author,
                    const std::string& copyright, const std::string& description) {
  std::string texts[4] = {Wide(title), Wide(author), Wide(copyright), Wide(description)};
  std::string lengths, body;
  for (const std::string& t : texts) {
    lengths += Le(t.size(), 2);
    body += t;
  }
  return Obj(kContentDescription, lengths + Le(0, 2) + body);
}
std::string Attr(const std::string& name, int type, const std::string& value) {
  return Le(Wide(name).size(), 2) + Wide(name) + Le(static_cast<std::uint64_t>(type), 2) +
         Le(value.size(), 2) + value;
}
std::string ExtContent(const std::string& attrs, int count) {
  return Obj(kExtContentDescription, Le(static_cast<std::uint64_t>(count), 2) + attrs);
}

struct Result {
  MediaInfo media;
  Mp3Tags tags;
};
Result Parse(const std::string& bytes) {
  Result r;
  ReadAsfBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, r.media,
               r.tags);
  return r;
}
Result ReadFile(const std::string& name, int kind) {
  Result r;
  ReadAsfInfo(test::DataPath("asf/" + name), kind, r.media, r.tags);
  return r;
}

TEST(AsfReader, TaggedWma) {
  Result r = ReadFile("tagged.wma", 18);
  EXPECT_EQ(r.media.audioFormat, "WMA2");
  EXPECT_EQ(r.media.samplingFrequency, 2205);
  EXPECT_EQ(r.media.bitsPerChannel, 16);
  EXPECT_EQ(r.media.channels, 1);
  EXPECT_EQ(r.media.length, 510);
  EXPECT_EQ(r.media.videoFormat, "");
  EXPECT_EQ(r.tags.title, "Test Title");
  EXPECT_EQ(r.tags.artist, "Test Artist");
  EXPECT_EQ(r.tags.album, "Test Album");
  EXPECT_EQ(r.tags.year, "2004");
  EXPECT_EQ(r.tags.genre, "Ambient");
  EXPECT_EQ(r.tags.track, "5");
  EXPECT_EQ(r.tags.copyright, "(c) Brenmoor");
  EXPECT_EQ(r.tags.composer, "Test Composer");
  EXPECT_EQ(r.tags.url, "http://example.org/");
  // ffmpeg keeps the comment in an extended attribute named "Description", not read here.
  EXPECT_EQ(r.tags.comments, "");
}

TEST(AsfReader, WmvFiles) {
  Result r = ReadFile("wmv2.wmv", 19);
  EXPECT_EQ(r.media.videoFormat, "WMV2");
  EXPECT_EQ(r.media.width, 32);
  EXPECT_EQ(r.media.height, 24);
  EXPECT_EQ(r.media.bitsPerPixel, 24);
  EXPECT_EQ(r.media.audioFormat, "WMA1");
  EXPECT_EQ(r.media.samplingFrequency, 1102);
  EXPECT_EQ(r.tags.title, "Clip");
  EXPECT_TRUE(r.media.hasLength);
  // ffmpeg writes no average time per frame, so there is no frame rate.
  EXPECT_FALSE(r.media.hasFramesPerSecond);

  Result v = ReadFile("wmv1_2997.asf", 20);
  EXPECT_EQ(v.media.videoFormat, "WMV1");
  EXPECT_EQ(v.media.width, 16);
  EXPECT_EQ(v.media.length, 200);
  EXPECT_EQ(v.media.audioFormat, "");
}

TEST(AsfReader, LengthAndFrameRateFromTheHeader) {
  std::string objects = FileProperties(600000000, 5000) +
                        Stream(kVideoMedia, 3, Video(640, 480, "WMV3")) +
                        Stream(kAudioMedia, 4, Audio(0x162, 6, 48000, 24)) +
                        Extension(StreamTiming(4, 1) + StreamTiming(0x83, 333667));
  Result r = Parse(Asf(objects, 4));
  EXPECT_EQ(r.media.length, 55000);
  EXPECT_EQ(r.media.videoFormat, "WMV3");
  EXPECT_EQ(r.media.width, 640);
  EXPECT_EQ(r.media.height, 480);
  EXPECT_EQ(r.media.framesPerSecond, 2997);  // stream 0x83 is stream 3
  EXPECT_EQ(r.media.audioFormat, "WMA3");
  EXPECT_EQ(r.media.channels, 6);
  EXPECT_EQ(r.media.samplingFrequency, 4800);
  EXPECT_EQ(r.media.bitsPerChannel, 24);

  // Unknown format tags give an empty name; a preroll longer than the play gives no length.
  r = Parse(Asf(FileProperties(10000, 5) + Stream(kAudioMedia, 1, Audio(0x1234, 2, 8000, 8)), 2));
  EXPECT_EQ(r.media.audioFormat, "");
  EXPECT_EQ(r.media.channels, 2);
  EXPECT_FALSE(r.media.hasLength);
}

TEST(AsfReader, TrackNumberAsNumberOrText) {
  auto track = [](int type, const std::string& value) {
    return Parse(Asf(ExtContent(Attr("WM/TrackNumber", type, value), 1), 1)).tags.track;
  };
  EXPECT_EQ(track(3, Le(5, 4)), "5");
  EXPECT_EQ(track(0, Wide("05")), "05");
  EXPECT_EQ(track(1, "\x05"), "");
  // A text attribute of another type leaves the text empty; other names are ignored.
  Result r =
      Parse(Asf(ExtContent(Attr("WM/Year", 3, Le(1999, 4)) + Attr("WM/Genre", 0, Wide("Jazz")) +
                               Attr("WM/Mood", 0, Wide("Calm")),
                           3),
                1));
  EXPECT_EQ(r.tags.year, "");
  EXPECT_EQ(r.tags.genre, "Jazz");
}

TEST(AsfReader, LongTextsAreCutAndTheWalkGoesOn) {
  std::string longTitle(2500, 'T');
  std::string objects = Content(longTitle, "Artist", "", "Notes") +
                        ExtContent(Attr(std::string(3000, 'n'), 0, Wide("skipped")) +
                                       Attr("WM/AlbumTitle", 0, Wide(std::string(2100, 'A'))),
                                   2) +
                        FileProperties(20000000, 0);
  Result r = Parse(Asf(objects, 3));
  EXPECT_EQ(r.tags.title, std::string(2047, 'T'));
  EXPECT_EQ(r.tags.artist, "Artist");
  EXPECT_EQ(r.tags.comments, "Notes");
  EXPECT_EQ(r.tags.album, std::string(2047, 'A'));
  EXPECT_EQ(r.media.length, 2000);
}

TEST(AsfReader, HostileCountsAndSizes) {
  // A count far beyond the objects present ends at the end of the header.
  Result r = Parse(Asf(FileProperties(30000000, 0), 0xFFFFFFFF) + std::string(100000, '\0'));
  EXPECT_EQ(r.media.length, 3000);

  // An object smaller than its own header ends the walk; what came before stays.
  std::string tiny = kContentDescription + Le(3, 8);
  r = Parse(Asf(FileProperties(30000000, 0) + tiny + Content("Late", "", "", ""), 3));
  EXPECT_EQ(r.media.length, 3000);
  EXPECT_EQ(r.tags.title, "");

  // An attribute list cut off by the end of the file keeps the attributes read before.
  std::string ecd = ExtContent(Attr("WM/Genre", 0, Wide("Folk")) + Attr("WM/AlbumTitle", 0, ""), 2);
  std::string bytes = Asf(ecd, 1);
  bytes.resize(bytes.size() - 4);
  r = Parse(bytes);
  EXPECT_EQ(r.tags.genre, "Folk");

  // An extension claiming more data than its object holds.
  std::string ext = Obj(kHeaderExtension, std::string(16, '\0') + Le(6, 2) + Le(0xFFFFFFFF, 4) +
                                              StreamTiming(1, 400000));
  r = Parse(Asf(Stream(kVideoMedia, 1, Video(8, 8, "WMV1")) + ext, 2));
  EXPECT_EQ(r.media.framesPerSecond, 2500);

  // Not a header object, or an unopenable file.
  EXPECT_EQ(Parse(std::string(30, '\0')).media.videoFormat, "");
  Result none = ReadFile("missing.wmv", 19);
  EXPECT_FALSE(none.media.hasLength);
}

}  // namespace
}  // namespace orvane
