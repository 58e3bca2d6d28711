#include "fileinfo/id3_tags.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/codepage.h"

namespace orvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes B(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

void Append(Bytes& out, const Bytes& more) {
  out.insert(out.end(), more.begin(), more.end());
}

void PutSize(Bytes& out, std::uint32_t v, bool syncsafe) {
  for (int i = 3; i >= 0; --i)
    out.push_back(static_cast<std::uint8_t>(syncsafe ? (v >> (7 * i)) & 0x7F : v >> (8 * i)));
}

struct FrameDef {
  std::string id;
  Bytes content;
  std::uint8_t format = 0;  // second flag byte
};

// An ID3v2 tag of the given major version (frame sizes syncsafe for 4, plain for 3).
Bytes Tag(int version, const std::vector<FrameDef>& frames, std::uint8_t flags = 0,
          const Bytes& extended = {}, std::size_t padding = 0) {
  Bytes body = extended;
  for (const FrameDef& f : frames) {
    Append(body, B(f.id));
    PutSize(body, static_cast<std::uint32_t>(f.content.size()), version == 4);
    body.push_back(0);
    body.push_back(f.format);
    Append(body, f.content);
  }
  body.resize(body.size() + padding, 0);
  Bytes tag = {'I', 'D', '3', static_cast<std::uint8_t>(version), 0, flags};
  PutSize(tag, static_cast<std::uint32_t>(body.size()), true);
  Append(tag, body);
  return tag;
}

Id3Texts ReadV2(const Bytes& bytes) {
  Id3Texts t;
  EXPECT_TRUE(ReadId3v2(SpanMp3Input(bytes), t));
  return t;
}

std::string Decode(const Bytes& content, bool comment = false) {
  return DecodeId3v2Text(content, comment);
}

TEST(Id3v2Text, Encodings) {
  EXPECT_EQ(Decode(B(std::string("\0  Plain text \0junk", 19))), "Plain text");
  EXPECT_EQ(Decode(B(std::string("\0Caf\xE9", 5))), AnsiToUtf8("Caf\xE9"));
  // UTF-16 with either byte-order mark, UTF-16 big-endian, UTF-8.
  EXPECT_EQ(Decode({1, 0xFF, 0xFE, 'H', 0, 0xE9, 0, 0, 0, 'x', 0}), "Hé");
  EXPECT_EQ(Decode({1, 0xFE, 0xFF, 0, 'H', 0, 0xE9}), "Hé");
  EXPECT_EQ(Decode({1, 'H', 0, 'i', 0}), "");  // no byte-order mark
  EXPECT_EQ(Decode({2, 0, 'H', 0, 0xE9, 0, 0, 0, 'x'}), "Hé");
  EXPECT_EQ(Decode({3, 'H', 0xC3, 0xA9, ' ', 0, 'x'}), "Hé");
  EXPECT_EQ(Decode({3, 'A', 0xFF, 'B'}),
            "A\xEF\xBF\xBD"
            "B");  // invalid UTF-8 sanitised
  // An unknown encoding byte is taken as the first character of ANSI text.
  EXPECT_EQ(Decode(B("(17)Rock")), "(17)Rock");
  EXPECT_EQ(Decode({}), "");
  EXPECT_EQ(Decode({1, 0xFF}), "");
}

TEST(Id3v2Text, CommentSkipsLanguageAndDescription) {
  Bytes ansi = {0};
  Append(ansi, B(std::string("engdesc\0 The comment ", 21)));
  EXPECT_EQ(Decode(ansi, true), "The comment");
  EXPECT_EQ(Decode(B(std::string("\0eng", 4)), true), "");          // too short
  EXPECT_EQ(Decode(B(std::string("\0engno zero", 11)), true), "");  // description never ends
  // lame writes an empty UTF-16 description without a byte-order mark.
  EXPECT_EQ(Decode({1, 'e', 'n', 'g', 0, 0, 0xFF, 0xFE, 'O', 0, 'K', 0}, true), "OK");
  EXPECT_EQ(Decode({1, 'e', 'n', 'g', 0xFF, 0xFE, 'd', 0, 0, 0, 0xFF, 0xFE, 'O', 0, 'K', 0}, true),
            "OK");
  // The 16-bit terminator is looked for at even offsets only.
  EXPECT_EQ(Decode({1, 'e', 'n', 'g', 0xFF, 0xFE, 'A', 0, 0, 'B', 0, 0, 0xFF, 0xFE, 'O', 0}, true),
            "O");
  EXPECT_EQ(Decode({1, 'e', 'n', 'g', 0, 0, 'O', 0, 'K', 0}, true), "");  // text lacks its mark
  EXPECT_EQ(Decode({2, 'e', 'n', 'g', 0, 'd', 0, 0, 0, 'O'}, true), "O");
  EXPECT_EQ(Decode({3, 'e', 'n', 'g', 'd', 0, 'O', 'K'}, true), "OK");
}

TEST(Id3v2Tag, FrameSizePlainInVersion3SyncsafeInVersion4) {
  // A 200-byte frame: 00 00 00 C8 as a plain number, 00 00 01 48 syncsafe. Read the wrong way,
  // the walk would lose the frame after it.
  Bytes big(200, 'x');
  big[0] = 0;
  for (int version : {3, 4}) {
    Bytes tag = Tag(version, {{"TXXX", big}, {"TCOM", B(std::string("\0After", 6))}});
    EXPECT_EQ(ReadV2(tag).composer, "After") << version;
  }
}

TEST(Id3v2Tag, CompressedAndEncryptedFramesArePassedOver) {
  Bytes t1 = B(std::string("\0Packed", 7)), t2 = B(std::string("\0Plain", 6));
  EXPECT_EQ(ReadV2(Tag(3, {{"TIT2", t1, 0x80}, {"TIT2", t2}})).title, "Plain");
  EXPECT_EQ(ReadV2(Tag(3, {{"TIT2", t1, 0x40}, {"TIT2", t2}})).title, "Plain");
  EXPECT_EQ(ReadV2(Tag(4, {{"TIT2", t1, 0x08}, {"TIT2", t2}})).title, "Plain");
  EXPECT_EQ(ReadV2(Tag(4, {{"TIT2", t1, 0x04}, {"TIT2", t2}})).title, "Plain");
  // Grouped frames carry one extra byte before the text.
  EXPECT_EQ(ReadV2(Tag(3, {{"TIT2", B(std::string("G\0Grouped", 9)), 0x20}})).title, "Grouped");
  EXPECT_EQ(ReadV2(Tag(4, {{"TIT2", B(std::string("G\0Grouped", 9)), 0x40}})).title, "Grouped");
}

TEST(Id3v2Tag, UnsynchronisedFrames) {
  // UTF-16 "ÿ" is FF 00 and the mark FF FE: unsynchronised they read FF 00 00 and FF 00 FE.
  const Bytes raw = {1, 0xFF, 0x00, 0xFE, 0xFF, 0x00, 0x00, 'A', 0x00};
  // ID3v2.4: frame flag; with a data-length indicator (4 bytes) in front.
  EXPECT_EQ(ReadV2(Tag(4, {{"TIT2", raw, 0x02}})).title, "ÿA");
  Bytes withLength = {0, 0, 0, 7};
  Append(withLength, raw);
  EXPECT_EQ(ReadV2(Tag(4, {{"TIT2", withLength, 0x03}})).title, "ÿA");
  // ID3v2.4 with only the tag flag set.
  EXPECT_EQ(ReadV2(Tag(4, {{"TIT2", raw}}, 0x80)).title, "ÿA");
  // ID3v2.3: the whole tag, frame headers included, is unsynchronised (FF FE -> FF 00 FE,
  // FF 00 -> FF 00 00); the frame size counts the plain bytes.
  Bytes v23 = {'I', 'D', '3', 3, 0, 0x80};
  Bytes body = B("TIT2");
  Append(body, {0, 0, 0, 7, 0, 0, 1, 0xFF, 0x00, 0xFE, 0xFF, 0x00, 0x00, 'A', 0x00});
  PutSize(v23, static_cast<std::uint32_t>(body.size()), true);
  Append(v23, body);
  EXPECT_EQ(ReadV2(v23).title, "ÿA");
  // Without the flag the same bytes are taken as they are: FF 00 is no byte-order mark.
  v23[5] = 0;
  EXPECT_EQ(ReadV2(v23).title, "");
}

TEST(Id3v2Tag, ExtendedHeaderIsSkipped) {
  const Bytes title = B(std::string("\0Title", 6));
  // ID3v2.3: a size of 6 that leaves out its own four bytes.
  EXPECT_EQ(ReadV2(Tag(3, {{"TIT2", title}}, 0x40, {0, 0, 0, 6, 0, 0, 0, 0, 0, 0})).title, "Title");
  // ID3v2.4: a syncsafe size of 6 that counts them.
  EXPECT_EQ(ReadV2(Tag(4, {{"TIT2", title}}, 0x40, {0, 0, 0, 6, 1, 0})).title, "Title");
  // A size past the tag leaves the texts empty.
  EXPECT_EQ(ReadV2(Tag(4, {{"TIT2", title}}, 0x40, {0x7F, 0x7F, 0x7F, 0x7F})).title, "");
}

TEST(Id3v2Tag, HostileSizesStayInsideTheTag) {
  // A frame claiming 256 MiB, a tag claiming more than the file, a frame cut by the tag end.
  Bytes huge = B("TIT2");
  Append(huge, {0x7F, 0x7F, 0x7F, 0x7F, 0, 0, 0, 'B', 'i', 'g'});
  Bytes tag = {'I', 'D', '3', 4, 0, 0};
  PutSize(tag, 0x0FFFFFFF, true);
  Append(tag, huge);
  EXPECT_EQ(ReadV2(tag).title, "Big");
  Bytes cut = Tag(3, {{"TIT2", B(std::string("\0Cut text", 9))}});
  cut[9] = static_cast<std::uint8_t>(cut[9] - 4);  // the tag ends inside the text
  EXPECT_EQ(ReadV2(cut).title, "Cut");
  // Found by fuzzing: an empty frame made a zero-length copy into no buffer.
  EXPECT_EQ(ReadV2(Tag(3, {{"TIT2", {}}, {"TPE1", B(std::string("\0A", 2))}})).artist, "A");
  Id3Texts t;
  EXPECT_FALSE(ReadId3v2(SpanMp3Input(B("ID")), t));
  EXPECT_FALSE(ReadId3v2(SpanMp3Input(B("TAG and more bytes")), t));
}

TEST(Id3v1Tag, BlanksStayAndTrackNeedsZeroBefore) {
  Bytes file(300, 0xAA);
  file.resize(300 + 128, 0);
  Bytes::iterator tag = file.end() - 128;
  std::memcpy(&*tag, "TAGTitle  ", 10);
  std::memcpy(&*tag + 97, "  Comment  ", 11);
  tag[97 + 29] = 7;
  Id3Texts t;
  ASSERT_TRUE(ReadId3v1(SpanMp3Input(file), t));
  EXPECT_EQ(t.title, "Title  ");
  EXPECT_EQ(t.comments, "Comment");
  EXPECT_EQ(t.track, "7");
  EXPECT_EQ(t.genre, "Blues");
  tag[97 + 28] = 'x';  // a comment that runs on to byte 28 has no track number
  t = {};
  ASSERT_TRUE(ReadId3v1(SpanMp3Input(file), t));
  EXPECT_EQ(t.track, "");
  EXPECT_FALSE(ReadId3v1(SpanMp3Input(std::span(file).last(127)), t));
}

// ID3v1 names no encoding: fields holding valid UTF-8 beyond ASCII are UTF-8, the rest the
// ANSI code page.
TEST(Id3v1Tag, FieldsInUtf8OrTheAnsiCodePage) {
  auto field = [](const std::string& bytes, std::size_t width = 30) {
    Bytes b = B(bytes);
    b.resize(std::max(width, b.size()), 0);
    return DecodeId3v1Field(b);
  };
  EXPECT_EQ(field("Z\xC3\xBCrich"), "Z\xC3\xBCrich");
  EXPECT_EQ(field("\xE2\x82\xAC 5 \xF0\x9F\x8E\xB5"), "\xE2\x82\xAC 5 \xF0\x9F\x8E\xB5");
  EXPECT_EQ(field("Z\xFCrich"), AnsiToUtf8("Z\xFCrich"));
  EXPECT_EQ(field("plain text"), "plain text");
  // Overlong forms and lone continuation bytes are not UTF-8.
  EXPECT_EQ(field("a\xC0\xAF"), AnsiToUtf8("a\xC0\xAF"));
  EXPECT_EQ(field("\xA9 2001"), AnsiToUtf8("\xA9 2001"));
  // A full field whose last character was cut: the cut character goes.
  const std::string cut = "Z\xC3\xBCrcher Kammerorchester & Ch\xC3";
  ASSERT_EQ(cut.size(), 30u);
  EXPECT_EQ(field(cut), "Z\xC3\xBCrcher Kammerorchester & Ch");
  const std::string cut3 = std::string(26, 'x') + "\xC3\xA4\xE2\x82";
  EXPECT_EQ(field(cut3), std::string(26, 'x') + "\xC3\xA4");
  // ...but not when the field has room left, nor when the rest is ASCII (ANSI "voil\xE0").
  EXPECT_EQ(field("Z\xC3\xBCrich\xC3"), AnsiToUtf8("Z\xC3\xBCrich\xC3"));
  const std::string ascii = std::string(25, 'n') + "voil\xE0";
  EXPECT_EQ(field(ascii), AnsiToUtf8(ascii));
}

}  // namespace
}  // namespace orvane
