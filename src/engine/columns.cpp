#include "engine/columns.h"

#include <array>

#include "base/strings.h"
#include "engine/file_info_groups.h"

namespace orvane {
namespace {

using Groups = FileInfoGroups;

// Cells and sort values of the record itself.
void ExtCell(const CFileRecord& r, const CellFormat&, std::string& c) {
  c = r.Ext();
}
void SizeCell(const CFileRecord& r, const CellFormat& f, std::string& c) {
  const CListingOptions& o = f.options;
  if (r.m_bIsDir)
    c = "<DIR>";
  else
    c = FormatSize(r.m_nSize, o.m_nSizeUnit, o.m_nSizePrecision, false, f.numbers);
}
template <std::int64_t CFileRecord::*Time>
void TimeCell(const CFileRecord& r, const CellFormat& f, std::string& c) {
  c = FormatDateTime(r.*Time, f.options);
}
void AttributesCell(const CFileRecord& r, const CellFormat&, std::string& c) {
  c = r.m_strAttributes;
}
template <std::string_view (CFileRecord::*Part)() const>
SortValue RecordText(const CFileRecord& r) {
  return TextValue((r.*Part)());
}
template <std::int64_t CFileRecord::*Time>
SortValue RecordTime(const CFileRecord& r) {
  return SignedValue(r.*Time);
}
SortValue RecordSize(const CFileRecord& r) {
  return UnsignedValue(r.m_nSize);
}
SortValue RecordAttributes(const CFileRecord& r) {
  return TextValue(r.m_strAttributes);
}

// Type and owner: an unread record sorts as an empty text.
template <std::string Groups::*Field>
void NameCell(const CFileRecord& r, const CellFormat&, std::string& c) {
  if (r.m_pInfo) c = (*r.m_pInfo).*Field;
}
template <std::string Groups::*Field>
SortValue NameSort(const CFileRecord& r) {
  return TextValue(r.m_pInfo ? (*r.m_pInfo).*Field : std::string());
}

// Checksums: a cell even before anything is read (it says why it is blank).
template <std::string (*Format)(const FileHashes&, bool)>
void HashCell(const CFileRecord& r, const CellFormat&, std::string& c) {
  static const FileHashes kNoHashes;
  c = Format(r.m_pInfo ? r.m_pInfo->m_hashes.Get() : kNoHashes, r.m_bIsDir);
}
SortValue Crc32Sort(const CFileRecord& r) {
  return r.m_pInfo ? UnsignedValue(r.m_pInfo->m_hashes.Get().crc32) : SortValue();
}
template <std::string FileHashes::*Field>
SortValue DigestSort(const CFileRecord& r) {
  return r.m_pInfo ? TextValue(r.m_pInfo->m_hashes.Get().*Field) : SortValue();
}

// The groups read from the file's contents: texts, counts with their "has" flag, document
// dates. A record without groups sorts before any value.
template <auto Group, auto Field>
void GroupText(const CFileRecord& r, const CellFormat&, std::string& c) {
  if (r.m_pInfo) c = ((*r.m_pInfo).*Group).Get().*Field;
}
template <auto Group, auto Field>
SortValue GroupTextSort(const CFileRecord& r) {
  return r.m_pInfo ? TextValue(((*r.m_pInfo).*Group).Get().*Field) : SortValue();
}
template <auto Group, auto Field>
SortValue GroupExactSort(const CFileRecord& r) {  // compared character by character by code
  SortValue v;
  if (!r.m_pInfo) return v;
  v.kind = SortValue::kExact;
  v.text = ((*r.m_pInfo).*Group).Get().*Field;
  return v;
}
template <auto Group, auto Field>
SortValue GroupUnsignedSort(const CFileRecord& r) {
  return r.m_pInfo ? UnsignedValue(((*r.m_pInfo).*Group).Get().*Field) : SortValue();
}
template <auto Group, auto Has, auto Field>
void GroupCount(const CFileRecord& r, const CellFormat& f, std::string& c) {
  if (!r.m_pInfo) return;
  const auto& g = ((*r.m_pInfo).*Group).Get();
  if (g.*Has) c = FormatInteger(g.*Field, f.numbers);
}
template <auto Group, auto Has, auto Field>
SortValue GroupCountSort(const CFileRecord& r) {
  if (!r.m_pInfo) return SortValue();
  const auto& g = ((*r.m_pInfo).*Group).Get();
  return g.*Has ? SignedValue(g.*Field) : SortValue();
}
template <std::int64_t DocProperties::*Field>
void DocDate(const CFileRecord& r, const CellFormat& f, std::string& c) {
  if (r.m_pInfo) c = FormatDocDate(r.m_pInfo->m_docProps.Get().*Field, f.options);
}
template <std::int64_t DocProperties::*Field>
SortValue DocDateSort(const CFileRecord& r) {
  return r.m_pInfo ? SignedValue(r.m_pInfo->m_docProps.Get().*Field) : SortValue();
}
void FpsCell(const CFileRecord& r, const CellFormat& f, std::string& c) {
  if (!r.m_pInfo || !r.m_pInfo->m_media.Get().hasFramesPerSecond) return;
  c = FormatNumber(r.m_pInfo->m_media.Get().framesPerSecond, 2, f.numbers,
                   (" " + GetText(5014)).c_str());
}
void FrequencyCell(const CFileRecord& r, const CellFormat& f, std::string& c) {
  if (!r.m_pInfo || !r.m_pInfo->m_media.Get().hasSamplingFrequency) return;
  c = FormatNumber(r.m_pInfo->m_media.Get().samplingFrequency, 2, f.numbers, " kHz");
}
void LengthCell(const CFileRecord& r, const CellFormat&, std::string& c) {
  if (r.m_pInfo && r.m_pInfo->m_media.Get().hasLength)
    c = FormatLength(r.m_pInfo->m_media.Get().length);
}

// Directory sort keys.
SortValue DirPath(const CDirRecord& d) {
  return TextValue(d.m_strPath);
}
SortValue DirSize(const CDirRecord& d) {
  return UnsignedValue(d.m_nSize);
}
template <std::int64_t CDirRecord::*Time>
SortValue DirTime(const CDirRecord& d) {
  return SignedValue(d.*Time);
}
template <std::string CDirRecord::*Field>
SortValue DirText(const CDirRecord& d) {
  return TextValue(d.*Field);
}
SortValue DirAttributes(const CDirRecord& d) {
  return TextValue(d.m_strAttributes);
}

// Width rules (a fixed width is a positive number instead).
enum WidthRule : int {
  kOwnWidth = 0,
  kNameW = -1,
  kSizeW = -2,
  kDateW = -3,
  kTypeW = -4,
  kOwnerW = -5
};

constexpr int L = kAlignLeft, R = kAlignRight, C = kAlignCenter;
constexpr bool Y = true, N = false;
constexpr auto kVer = &Groups::m_version;
constexpr auto kDoc = &Groups::m_docProps;
constexpr auto kMed = &Groups::m_media;
constexpr auto kTag = &Groups::m_mp3;
constexpr unsigned kAudio = kReadMedia | kReadMp3;
using Rec = CFileRecord;
using Dir = CDirRecord;
using VI = VersionInfo;
using DP = DocProperties;
using MI = MediaInfo;
using MT = Mp3Tags;

// clang-format off
const ColumnSpec kColumns[kColumnCount] = {
// header, label, file sort, dir sort, folded, align, width, readers, files only, cell, item sort, dir sort
{"Number", "Number", N, N, Y, L, kNameW, kReadNone, N, nullptr, nullptr, nullptr},
{"Path", "Path", N, N, Y, L, kNameW, kReadNone, N, nullptr, nullptr, nullptr},
{"Name", "Name", Y, Y, N, L, kNameW, kReadNone, N, nullptr, RecordText<&Rec::Name>, DirPath},
{"Extension", "Extension", Y, N, Y, L, 3, kReadNone, N, ExtCell, RecordText<&Rec::Ext>, nullptr},
{"Count", "File count", N, N, Y, L, kNameW, kReadNone, N, nullptr, nullptr, nullptr},
{"Size", "Size", Y, Y, N, R, kSizeW, kReadNone, N, SizeCell, RecordSize, DirSize},
{"Creation date", "Creation date", Y, Y, N, C, kDateW, kReadNone, N, TimeCell<&Rec::m_tCreation>, RecordTime<&Rec::m_tCreation>, DirTime<&Dir::m_tCreation>},
{"Last write date", "Last write date", Y, Y, N, C, kDateW, kReadNone, N, TimeCell<&Rec::m_tLastWrite>, RecordTime<&Rec::m_tLastWrite>, DirTime<&Dir::m_tLastWrite>},
{"Last access date", "Last access date", Y, Y, N, C, kDateW, kReadNone, N, TimeCell<&Rec::m_tLastAccess>, RecordTime<&Rec::m_tLastAccess>, DirTime<&Dir::m_tLastAccess>},
{"Type", "Type", Y, Y, N, L, kTypeW, kReadType, N, NameCell<&Groups::m_strType>, NameSort<&Groups::m_strType>, DirText<&Dir::m_strFileSystem>},
{"Attributes", "Attributes", Y, Y, N, C, 5, kReadNone, N, AttributesCell, RecordAttributes, DirAttributes},
{"Owner", "Owner", Y, Y, N, L, kOwnerW, kReadOwner, N, NameCell<&Groups::m_strOwner>, NameSort<&Groups::m_strOwner>, DirText<&Dir::m_strOwner>},
{"File version", "File version", Y, Y, N, L, kOwnWidth, kReadVersion, Y, GroupText<kVer, &VI::fileVersion>, GroupUnsignedSort<kVer, &VI::fileVersionNumber>, DirText<&Dir::m_strVolumeSerial>},
{"Product version", "Product version", Y, N, N, L, kOwnWidth, kReadVersion, Y, GroupText<kVer, &VI::productVersion>, GroupUnsignedSort<kVer, &VI::productVersionNumber>, nullptr},
{"Product name", "Product name", Y, N, N, L, kOwnWidth, kReadVersion, Y, GroupText<kVer, &VI::productName>, GroupTextSort<kVer, &VI::productName>, nullptr},
{"Description", "Description", Y, N, N, L, kOwnWidth, kReadVersion, Y, GroupText<kVer, &VI::description>, GroupTextSort<kVer, &VI::description>, nullptr},
{"Copyright", "Copyright", Y, N, N, L, kOwnWidth, kReadVersion, Y, GroupText<kVer, &VI::copyright>, GroupTextSort<kVer, &VI::copyright>, nullptr},
{"Company", "Company", Y, N, N, L, kOwnWidth, kReadVersion, Y, GroupText<kVer, &VI::company>, GroupTextSort<kVer, &VI::company>, nullptr},
{"Comments", "Comments", Y, N, N, L, kOwnWidth, kReadVersion, Y, GroupText<kVer, &VI::comments>, GroupTextSort<kVer, &VI::comments>, nullptr},
{"Language", "Language", Y, N, N, L, kOwnWidth, kReadVersion, Y, GroupText<kVer, &VI::language>, GroupTextSort<kVer, &VI::language>, nullptr},
{"CRC32", "CRC32", Y, N, N, C, 8, kReadCrc32, N, HashCell<Crc32Cell>, Crc32Sort, nullptr},
{"MD5", "MD5", Y, N, N, C, 32, kReadMd5, N, HashCell<Md5Cell>, DigestSort<&FileHashes::md5>, nullptr},
{"SHA1", "SHA-1", Y, N, N, C, 40, kReadSha1, N, HashCell<Sha1Cell>, DigestSort<&FileHashes::sha1>, nullptr},
{"Title", "Title", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupText<kDoc, &DP::title>, GroupTextSort<kDoc, &DP::title>, nullptr},
{"Subject", "Subject", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupText<kDoc, &DP::subject>, GroupTextSort<kDoc, &DP::subject>, nullptr},
{"Author", "Author", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupText<kDoc, &DP::author>, GroupTextSort<kDoc, &DP::author>, nullptr},
{"Keywords", "Keywords", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupText<kDoc, &DP::keywords>, GroupTextSort<kDoc, &DP::keywords>, nullptr},
{"Comments", "Comments", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupText<kDoc, &DP::comments>, GroupTextSort<kDoc, &DP::comments>, nullptr},
{"Template", "Template", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupText<kDoc, &DP::templateName>, GroupTextSort<kDoc, &DP::templateName>, nullptr},
{"Last author", "Last author", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupText<kDoc, &DP::lastAuthor>, GroupTextSort<kDoc, &DP::lastAuthor>, nullptr},
{"Revision", "Revision number", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupText<kDoc, &DP::revisionNumber>, GroupTextSort<kDoc, &DP::revisionNumber>, nullptr},
{"Last printed", "Last printed", Y, N, N, L, kDateW, kReadDocument, Y, DocDate<&DP::lastPrinted>, DocDateSort<&DP::lastPrinted>, nullptr},
{"Created", "Created", Y, N, N, L, kDateW, kReadDocument, Y, DocDate<&DP::created>, DocDateSort<&DP::created>, nullptr},
{"Last saved", "Last saved", Y, N, N, L, kDateW, kReadDocument, Y, DocDate<&DP::lastSaved>, DocDateSort<&DP::lastSaved>, nullptr},
{"Page count", "Page count", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupCount<kDoc, &DP::hasPageCount, &DP::pageCount>, GroupCountSort<kDoc, &DP::hasPageCount, &DP::pageCount>, nullptr},
{"Word count", "Word count", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupCount<kDoc, &DP::hasWordCount, &DP::wordCount>, GroupCountSort<kDoc, &DP::hasWordCount, &DP::wordCount>, nullptr},
{"Char count", "Char count", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupCount<kDoc, &DP::hasCharCount, &DP::charCount>, GroupCountSort<kDoc, &DP::hasCharCount, &DP::charCount>, nullptr},
{"App name", "App name", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupText<kDoc, &DP::appName>, GroupTextSort<kDoc, &DP::appName>, nullptr},
{"Category", "Category", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupText<kDoc, &DP::category>, GroupTextSort<kDoc, &DP::category>, nullptr},
{"Security", "Document security", Y, N, N, L, kOwnWidth, kReadDocument, Y, GroupCount<kDoc, &DP::hasSecurity, &DP::security>, GroupCountSort<kDoc, &DP::hasSecurity, &DP::security>, nullptr},
{"Video format", "Video/Picture format", Y, N, N, L, kOwnWidth, kReadMedia, Y, GroupText<kMed, &MI::videoFormat>, GroupTextSort<kMed, &MI::videoFormat>, nullptr},
{"Width", "Width", Y, N, N, L, kOwnWidth, kReadMedia, Y, GroupCount<kMed, &MI::hasWidth, &MI::width>, GroupCountSort<kMed, &MI::hasWidth, &MI::width>, nullptr},
{"Height", "Height", Y, N, N, L, kOwnWidth, kReadMedia, Y, GroupCount<kMed, &MI::hasHeight, &MI::height>, GroupCountSort<kMed, &MI::hasHeight, &MI::height>, nullptr},
{"BPP", "Bits per pixel", Y, N, N, L, kOwnWidth, kReadMedia, Y, GroupCount<kMed, &MI::hasBitsPerPixel, &MI::bitsPerPixel>, GroupCountSort<kMed, &MI::hasBitsPerPixel, &MI::bitsPerPixel>, nullptr},
{"Frames", "Number of frames", Y, N, N, L, kOwnWidth, kReadMedia, Y, GroupCount<kMed, &MI::hasFrames, &MI::frames>, GroupCountSort<kMed, &MI::hasFrames, &MI::frames>, nullptr},
{"FPS", "Frames per second", Y, N, N, L, kOwnWidth, kReadMedia, Y, FpsCell, GroupCountSort<kMed, &MI::hasFramesPerSecond, &MI::framesPerSecond>, nullptr},
{"Audio format", "Audio format", Y, N, N, L, kOwnWidth, kAudio, Y, GroupText<kMed, &MI::audioFormat>, GroupTextSort<kMed, &MI::audioFormat>, nullptr},
{"Frequency", "Sampling frequency", Y, N, N, L, kOwnWidth, kAudio, Y, FrequencyCell, GroupCountSort<kMed, &MI::hasSamplingFrequency, &MI::samplingFrequency>, nullptr},
{"BPC", "Bits per channel", Y, N, N, L, kOwnWidth, kAudio, Y, GroupCount<kMed, &MI::hasBitsPerChannel, &MI::bitsPerChannel>, GroupCountSort<kMed, &MI::hasBitsPerChannel, &MI::bitsPerChannel>, nullptr},
{"Channels", "Number of channels", Y, N, N, L, kOwnWidth, kAudio, Y, GroupCount<kMed, &MI::hasChannels, &MI::channels>, GroupCountSort<kMed, &MI::hasChannels, &MI::channels>, nullptr},
{"Length", "Length", Y, N, N, L, kOwnWidth, kAudio, Y, LengthCell, GroupCountSort<kMed, &MI::hasLength, &MI::length>, nullptr},
{"Track", "Track", Y, N, N, L, kOwnWidth, kAudio, Y, GroupText<kTag, &MT::track>, GroupExactSort<kTag, &MT::track>, nullptr},
{"Title", "Title", Y, N, N, L, kOwnWidth, kAudio, Y, GroupText<kTag, &MT::title>, GroupTextSort<kTag, &MT::title>, nullptr},
{"Artist", "Artist", Y, N, N, L, kOwnWidth, kAudio, Y, GroupText<kTag, &MT::artist>, GroupTextSort<kTag, &MT::artist>, nullptr},
{"Album", "Album", Y, N, N, L, kOwnWidth, kAudio, Y, GroupText<kTag, &MT::album>, GroupTextSort<kTag, &MT::album>, nullptr},
{"Year", "Year", Y, N, N, L, kDateW, kAudio, Y, GroupText<kTag, &MT::year>, GroupTextSort<kTag, &MT::year>, nullptr},
{"Genre", "Genre", Y, N, N, L, kOwnWidth, kAudio, Y, GroupText<kTag, &MT::genre>, GroupTextSort<kTag, &MT::genre>, nullptr},
{"Comments", "Comments", Y, N, N, L, kOwnWidth, kAudio, Y, GroupText<kTag, &MT::comments>, GroupTextSort<kTag, &MT::comments>, nullptr},
};
// clang-format on

std::array<CColumnInfo, kColumnCount>& Catalogue() {
  static std::array<CColumnInfo, kColumnCount> catalogue = [] {
    std::array<CColumnInfo, kColumnCount> c;
    for (int i = 0; i < kColumnCount; ++i) {
      const ColumnSpec& e = kColumns[i];
      c[static_cast<std::size_t>(i)] = {e.header, e.fileSort, e.dirSort, e.folded, e.align};
    }
    return c;
  }();
  return catalogue;
}

}  // namespace

const ColumnSpec& ColumnSpecOf(ColumnId id) {
  return kColumns[ColumnIndex(id)];
}

unsigned ShownColumnReaders(const CListingOptions& o) {
  unsigned readers = kReadNone;
  for (ColumnId id : kAllColumns)
    if (o.IsShown(id)) readers |= kColumns[ColumnIndex(id)].readers;
  return readers;
}

const CColumnInfo& ColumnInfo(ColumnId id) {
  return Catalogue()[ColumnIndex(id)];
}

void SetColumnName(ColumnId id, std::string name) {
  Catalogue()[ColumnIndex(id)].m_strName = name;
}

const char* ColumnLabel(ColumnId id) {
  return kColumns[ColumnIndex(id)].label;
}

int FixedColumnWidth(const CListingOptions& o, ColumnId id) {
  switch (const int w = kColumns[ColumnIndex(id)].width) {
    case kNameW:
      return o.m_nNameWidth;
    case kSizeW:
      return o.m_nSizeWidth;
    case kDateW:
      return o.DateWidth();
    case kTypeW:
      return o.m_nTypeWidth;
    case kOwnerW:
      return o.m_nOwnerWidth;
    case kOwnWidth:
      return o.m_nColumnWidth[id];
    default:
      return w;
  }
}

}  // namespace orvane
