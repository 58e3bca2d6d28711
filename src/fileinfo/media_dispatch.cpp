#include "fileinfo/media_dispatch.h"

#include "base/unicode.h"
#include "fileinfo/asf_reader.h"
#include "fileinfo/avi_reader.h"
#include "fileinfo/matroska_reader.h"
#include "fileinfo/picture_reader.h"

namespace orvane {
namespace {

struct Entry {
  const char* ext;
  int kind;
  int group;
};

// Searched from the top; compared without regard to case.
constexpr Entry kTable[] = {
    {"doc", 1, kMediaDocument},      {"xls", 2, kMediaDocument},
    {"ppt", 3, kMediaDocument},      {"bmp", 4, kMediaPicture},
    {"eps", 5, kMediaPicture},       {"gif", 7, kMediaPicture},
    {"jpg", 8, kMediaPicture},       {"fpx", 6, kMediaPicture},
    {"jpeg", 8, kMediaPicture},      {"pcd", 9, kMediaPicture},
    {"pcx", 10, kMediaPicture},      {"pict", 11, kMediaPicture},
    {"png", 12, kMediaPicture},      {"tga", 13, kMediaPicture},
    {"tif", 14, kMediaPicture},      {"tiff", 14, kMediaPicture},
    {"avi", 15, kMediaVideo},        {"wav", 16, kMediaSound},
    {"mid", 17, kMediaSound},        {"midi", 17, kMediaSound},
    {"wma", 18, kMediaWindowsMedia}, {"wmv", 19, kMediaWindowsMedia},
    {"asf", 20, kMediaWindowsMedia}, {"mkv", 21, kMediaMatroska},
    {"mka", 22, kMediaMatroska},     {"htm", 23, kMediaNone},
    {"html", 23, kMediaNone},        {"xml", 24, kMediaNone},
    {"lnk", 25, kMediaNone},         {"url", 24, kMediaNone},
};

}  // namespace

MediaKind MediaKindOf(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  const std::string ext = AsciiLower(path.substr(dot + 1));
  for (const Entry& e : kTable)
    if (ext == e.ext) return {e.kind, e.group};
  return {};
}

bool IsMp3Name(std::string_view path) {
  return path.size() >= 3 && AsciiLower(path.substr(path.size() - 3)) == "mp3";
}

void ReadMediaInfo(const std::string& path, std::uint64_t size, MediaInfo& media, Mp3Tags& tags) {
  const MediaKind k = MediaKindOf(path);
  switch (k.group) {
    case kMediaPicture:
      ReadPictureInfo(path, media);
      break;
    case kMediaSound:
    case kMediaVideo:
      if (size > 0) ReadAviInfo(path, size, media);
      break;
    case kMediaWindowsMedia:
      ReadAsfInfo(path, k.kind, media, tags);
      break;
    case kMediaMatroska:
      ReadMatroskaInfo(path, media);
      break;
    default:
      break;
  }
}

}  // namespace orvane
