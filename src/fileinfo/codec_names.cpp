#include "fileinfo/codec_names.h"

#include <array>

namespace orvane {

namespace {

struct VideoCodec {
  const char* code;  // four characters, letters in upper case
  std::string_view name;
};

constexpr VideoCodec kVideoCodecs[] = {
    {"3IV1", "3ivx MPEG-4"},
    {"3IV2", "3ivx MPEG-4"},
    {"AV01", "AV1"},
    {"AVC1", "H.264 (AVC)"},
    {"CDVC", "Canopus DV"},
    {"CRAM", "Microsoft Video 1"},
    {"CSCD", "CamStudio"},
    {"CVID", "Cinepak Codec by Radius"},
    {"DIV3", "DivX 3 Low-Motion"},
    {"DIV4", "DivX 3 Fast-Motion"},
    {"DIVX", "DivX MPEG-4"},
    {"DMB1", "Matrox Motion JPEG"},
    {"DV25", "DVCPRO"},
    {"DV50", "DVCPRO 50"},
    {"DVSD", "DV Video"},
    {"DX50", "DivX 5 MPEG-4"},
    {"FFV1", "FFV1 Lossless"},
    {"FFVH", "Huffyuv (FFmpeg)"},
    {"FLV1", "Sorenson Spark"},
    {"FMP4", "FFmpeg MPEG-4"},
    {"FPS1", "Fraps"},
    {"H261", "H.261"},
    {"H263", "H.263"},
    {"H264", "H.264 (AVC)"},
    {"H265", "H.265 (HEVC)"},
    {"HEV1", "H.265 (HEVC)"},
    {"HEVC", "H.265 (HEVC)"},
    {"HFYU", "Huffyuv"},
    {"HVC1", "H.265 (HEVC)"},
    {"I263", "Intel H.263"},
    {"I420", "YUV 4:2:0 (I420)"},
    {"IV31", "Indeo Video 3.1"},
    {"IV32", "Indeo Video 3.2"},
    {"IV41", "Indeo Video 4.1"},
    {"IV50", "Indeo Video 5.10"},
    {"IYUV", "YUV 4:2:0 (IYUV)"},
    {"LAGS", "Lagarith Lossless"},
    {"M263", "Microsoft H.263"},
    {"MJ2C", "Motion JPEG 2000"},
    {"MJPG", "Motion JPEG"},
    {"MP41", "Microsoft MPEG-4 V1"},
    {"MP42", "Microsoft MPEG-4 V2"},
    {"MP43", "Microsoft MPEG-4 V3"},
    {"MP4V", "MPEG-4 Video"},
    {"MPEG", "MPEG Video"},
    {"MPG1", "MPEG-1 Video"},
    {"MPG2", "MPEG-2 Video"},
    {"MPG4", "Microsoft MPEG-4 V1"},
    {"MPNG", "Motion PNG"},
    {"MRLE", "Microsoft RLE"},
    {"MSVC", "Microsoft Video 1"},
    {"NV12", "YUV 4:2:0 (NV12)"},
    {"PNG ", "PNG"},
    {"THEO", "Theora"},
    {"TSCC", "TechSmith Screen Capture"},
    {"ULTI", "IBM Ultimotion"},
    {"UYVY", "YUV 4:2:2 (UYVY)"},
    {"VP30", "On2 VP3"},
    {"VP31", "On2 VP3.1"},
    {"VP50", "On2 VP5"},
    {"VP60", "On2 VP6"},
    {"VP61", "On2 VP6.1"},
    {"VP62", "On2 VP6.2"},
    {"VP6F", "On2 VP6 Flash"},
    {"VP80", "VP8"},
    {"VP90", "VP9"},
    {"WHAM", "Microsoft Video 1"},
    {"WMV1", "Windows Media Video 7"},
    {"WMV2", "Windows Media Video 8"},
    {"WMV3", "Windows Media Video 9"},
    {"WMVA", "Windows Media Video 9 Advanced Profile"},
    {"WVC1", "Windows Media Video 9 Advanced Profile"},
    {"X264", "H.264 (AVC)"},
    {"XVID", "Xvid MPEG-4"},
    {"YUY2", "YUV 4:2:2 (YUY2)"},
    {"YV12", "YUV 4:2:0 (YV12)"},
    {"ZMBV", "DOSBox Capture"},
};

struct WaveFormat {
  std::uint16_t tag;
  std::string_view name;
};

constexpr WaveFormat kWaveFormats[] = {
    {0x0001, "PCM"},
    {0x0002, "Microsoft ADPCM"},
    {0x0003, "IEEE Float"},
    {0x0006, "CCITT A-Law"},
    {0x0007, "CCITT u-Law"},
    {0x0010, "OKI ADPCM"},
    {0x0011, "IMA ADPCM"},
    {0x0022, "DSP Group TrueSpeech"},
    {0x0031, "GSM 6.10"},
    {0x0040, "G.721 ADPCM"},
    {0x0042, "Microsoft G.723.1"},
    {0x0045, "G.726 ADPCM"},
    {0x0050, "MPEG"},
    {0x0055, "MPEG Layer-3"},
    {0x0092, "Dolby AC-3 S/PDIF"},
    {0x00FF, "AAC"},
    {0x0130, "ACELP.net"},
    {0x0160, "Windows Media Audio V1"},
    {0x0161, "Windows Media Audio"},
    {0x0162, "Windows Media Audio 9 Professional"},
    {0x0163, "Windows Media Audio 9 Lossless"},
    {0x0164, "Windows Media Audio S/PDIF"},
    {0x0200, "Creative ADPCM"},
    {0x0270, "Sony ATRAC3"},
    {0x1600, "AAC (ADTS)"},
    {0x2000, "Dolby AC-3"},
    {0x2001, "DTS"},
    {0x674F, "Ogg Vorbis"},
    {0x6750, "Ogg Vorbis"},
    {0x6751, "Ogg Vorbis"},
    {0x676F, "Ogg Vorbis"},
    {0x6770, "Ogg Vorbis"},
    {0x6771, "Ogg Vorbis"},
    {0xF1AC, "FLAC"},
};

char Upper(std::uint32_t c) {
  auto ch = static_cast<char>(c & 0xFF);
  return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

}  // namespace

std::string_view VideoCodecName(std::uint32_t fourcc) {
  // The bitmap compression codes 1 and 2 are run-length encodings rather than letters.
  if (fourcc == 1 || fourcc == 2) return "Microsoft RLE";
  std::array<char, 4> key{Upper(fourcc), Upper(fourcc >> 8), Upper(fourcc >> 16),
                          Upper(fourcc >> 24)};
  for (const VideoCodec& c : kVideoCodecs)
    if (std::string_view(c.code, 4) == std::string_view(key.data(), 4)) return c.name;
  return {};
}

std::string_view WaveFormatName(std::uint16_t tag) {
  for (const WaveFormat& f : kWaveFormats)
    if (f.tag == tag) return f.name;
  return {};
}

}  // namespace orvane
