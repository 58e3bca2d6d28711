#include "engine/columns.h"

#include <array>
#include <mutex>

namespace orvane {
namespace {

struct Entry {
  const char* header;
  const char* label;
  bool fileSort, dirSort, folded;
  int align;
};

constexpr int L = kAlignLeft, R = kAlignRight, C = kAlignCenter;

constexpr Entry kCatalogue[kColumnCount] = {
    {"Number", "Number", false, false, true, L},
    {"Path", "Path", false, false, true, L},
    {"Name", "Name", true, true, false, L},
    {"Extension", "Extension", true, false, true, L},
    {"Count", "File count", false, false, true, L},
    {"Size", "Size", true, true, false, R},
    {"Creation date", "Creation date", true, true, false, C},
    {"Last write date", "Last write date", true, true, false, C},
    {"Last access date", "Last access date", true, true, false, C},
    {"Type", "Type", true, true, false, L},
    {"Attributes", "Attributes", true, true, false, C},
    {"Owner", "Owner", true, true, false, L},
    {"File version", "File version", true, true, false, L},
    {"Product version", "Product version", true, false, false, L},
    {"Product name", "Product name", true, false, false, L},
    {"Description", "Description", true, false, false, L},
    {"Copyright", "Copyright", true, false, false, L},
    {"Company", "Company", true, false, false, L},
    {"Comments", "Comments", true, false, false, L},
    {"Language", "Language", true, false, false, L},
    {"CRC32", "CRC32", true, false, false, C},
    {"MD5", "MD5", true, false, false, C},
    {"SHA1", "SHA-1", true, false, false, C},
    {"Title", "Title", true, false, false, L},
    {"Subject", "Subject", true, false, false, L},
    {"Author", "Author", true, false, false, L},
    {"Keywords", "Keywords", true, false, false, L},
    {"Comments", "Comments", true, false, false, L},
    {"Template", "Template", true, false, false, L},
    {"Last author", "Last author", true, false, false, L},
    {"Revision", "Revision number", true, false, false, L},
    {"Last printed", "Last printed", true, false, false, L},
    {"Created", "Created", true, false, false, L},
    {"Last saved", "Last saved", true, false, false, L},
    {"Page count", "Page count", true, false, false, L},
    {"Word count", "Word count", true, false, false, L},
    {"Char count", "Char count", true, false, false, L},
    {"App name", "App name", true, false, false, L},
    {"Category", "Category", true, false, false, L},
    {"Security", "Document security", true, false, false, L},
    {"Video format", "Video/Picture format", true, false, false, L},
    {"Width", "Width", true, false, false, L},
    {"Height", "Height", true, false, false, L},
    {"BPP", "Bits per pixel", true, false, false, L},
    {"Frames", "Number of frames", true, false, false, L},
    {"FPS", "Frames per second", true, false, false, L},
    {"Audio format", "Audio format", true, false, false, L},
    {"Frequency", "Sampling frequency", true, false, false, L},
    {"BPC", "Bits per channel", true, false, false, L},
    {"Channels", "Number of channels", true, false, false, L},
    {"Length", "Length", true, false, false, L},
    {"Track", "Track", true, false, false, L},
    {"Title", "Title", true, false, false, L},
    {"Artist", "Artist", true, false, false, L},
    {"Album", "Album", true, false, false, L},
    {"Year", "Year", true, false, false, L},
    {"Genre", "Genre", true, false, false, L},
    {"Comments", "Comments", true, false, false, L},
};

std::array<CColumnInfo, kColumnCount>& Catalogue() {
  static std::array<CColumnInfo, kColumnCount> catalogue = [] {
    std::array<CColumnInfo, kColumnCount> c;
    for (int i = 0; i < kColumnCount; ++i) {
      const Entry& e = kCatalogue[i];
      c[static_cast<std::size_t>(i)] = {e.header, e.fileSort, e.dirSort, e.folded, e.align};
    }
    return c;
  }();
  return catalogue;
}

}  // namespace

const CColumnInfo& ColumnInfo(int id) {
  return Catalogue()[static_cast<std::size_t>(id)];
}

void SetColumnName(int id, std::string name) {
  if (id >= 0 && id < kColumnCount) Catalogue()[static_cast<std::size_t>(id)].m_strName = name;
}

const char* ColumnLabel(int id) {
  return kCatalogue[id].label;
}

int FixedColumnWidth(const CListingOptions& o, int id) {
  switch (id) {
    case kColNumber:
    case kColPath:
    case kColName:
    case kColCount:
      return o.m_nNameWidth;
    case kColExtension:
      return 3;
    case kColSize:
      return o.m_nSizeWidth;
    case kColCreation:
    case kColLastWrite:
    case kColLastAccess:
    case kColLastPrinted:
    case kColDocCreated:
    case kColLastSaved:
    case kColYear:
      return o.DateWidth();
    case kColType:
      return o.m_nTypeWidth;
    case kColAttributes:
      return 5;
    case kColOwner:
      return o.m_nOwnerWidth;
    case kColCrc32:
      return 8;
    case kColMd5:
      return 32;
    case kColSha1:
      return 40;
    default:
      return o.m_nColumnWidth[static_cast<std::size_t>(id)];
  }
}

}  // namespace orvane
