// The extra information of file records: which readers run for the shown columns, the cells
// they fill and the sort values they give. Every group is read at most once per record.
#include "base/strings.h"
#include "engine/file_info_groups.h"
#include "engine/formatting.h"
#include "engine/listing_engine.h"
#include "engine/sorting.h"
#include "fileinfo/doc_properties.h"
#include "fileinfo/hashes.h"
#include "fileinfo/media_dispatch.h"
#include "fileinfo/mp3_reader.h"
#include "fileinfo/pe_version.h"
#include "platform/owner.h"
#include "platform/type_names.h"

namespace orvane {
namespace {

// Whom the memory message asks the user to contact.
constexpr const char* kSupportContact = "the Orvane maintainers";

bool AnyShown(const CListingOptions& o, int first, int last) {
  for (int i = first; i <= last; ++i)
    if (o.IsShown(i)) return true;
  return false;
}

// The engine as the hash readers see it: progress through the shared status throttle, and the
// stop event.
class EngineHashProgress : public HashProgress {
 public:
  explicit EngineHashProgress(CListingEngine& engine) : m_engine(engine) {}
  void ReportProgress(const std::string& path, std::uint64_t done, std::uint64_t total,
                      const char* label) override {
    m_engine.ReportProgress(path, done, total, label);
  }
  bool StopRequested() override { return m_engine.StopRequested(); }

 private:
  CListingEngine& m_engine;
};

}  // namespace

void CListingEngine::ReadScanExtras(CFileRecord& rec, const std::string& fullPath) {
  ReadTypeAndOwner(rec, fullPath);
  if (!rec.m_bIsDir) ReadExtras(rec, fullPath);
}

bool CListingEngine::NeedsTypeOrOwner(const CFileRecord& rec) const {
  const FileInfoGroups* g = rec.m_pInfo.get();
  return (m_options.IsShown(kColType) && !(g && g->m_bTypeLoaded)) ||
         (m_options.IsShown(kColOwner) && !(g && g->m_bOwnerLoaded));
}

void CListingEngine::ReadTypeAndOwner(CFileRecord& rec, const std::string& fullPath) {
  const CListingOptions& o = m_options;
  // The type name comes from the name alone, so archive members get theirs too.
  if (o.IsShown(kColType) && !(rec.m_pInfo && rec.m_pInfo->m_bTypeLoaded)) {
    FileInfoGroups& g = rec.Info();
    g.m_strType = GetTypeName(rec.FullName(), rec.m_bIsDir);
    g.m_bTypeLoaded = true;
  }
  if (o.IsShown(kColOwner) && !(rec.m_pInfo && rec.m_pInfo->m_bOwnerLoaded)) {
    FileInfoGroups& g = rec.Info();
    g.m_strOwner = GetFileOwner(fullPath);
    g.m_bOwnerLoaded = true;
  }
}

bool CListingEngine::ReadExtras(CFileRecord& rec, const std::string& fullPath) {
  const CListingOptions& o = m_options;
  bool ok = true;
  if (AnyShown(o, kColFileVersion, kColLanguage)) {
    FileInfoGroups& g = rec.Info();
    if (!g.m_bVersionLoaded) {
      ReadVersionInfo(fullPath, g.m_version);
      g.m_bVersionLoaded = true;
    }
  }
  HashRequest hashes;
  hashes.crc32 = o.IsShown(kColCrc32);
  hashes.md5 = o.IsShown(kColMd5);
  hashes.sha1 = o.IsShown(kColSha1);
  if (hashes.Any()) {
    // Only the digests not loaded yet are computed, in one read of the file; a cancelled pass
    // leaves them unloaded so the next generation computes them.
    EngineHashProgress progress(*this);
    FileHashes& state = rec.Info().m_hashes;
    const int columns = (hashes.crc32 && !state.crc32Loaded) + (hashes.md5 && !state.md5Loaded) +
                        (hashes.sha1 && !state.sha1Loaded);
    HashStatus status = HashStatus::kDone;
    if (LoadFileHashes(fullPath, hashes, &progress, state, &status)) ok = false;
    // The file's digests stay loaded (blank), so each column says so once per file.
    if (status == HashStatus::kNoMemory)
      for (int i = 0; i < columns; ++i) ShowMessage(HashMemoryErrorText(kSupportContact));
  }
  if (AnyShown(o, kColDocFirst, kColDocLast)) {
    FileInfoGroups& g = rec.Info();
    if (!g.m_bDocLoaded) {
      ReadDocumentProperties(fullPath, g.m_docProps);
      g.m_bDocLoaded = true;
    }
  }
  if (AnyShown(o, kColMediaFirst, kColMp3Last)) {
    FileInfoGroups& g = rec.Info();
    if (!g.m_bMediaLoaded) {
      ReadMediaInfo(fullPath, rec.m_nSize, g.m_media, g.m_mp3);
      g.m_bMediaLoaded = true;
    }
    // The MP3 reader runs after the general one, so an MP3 file shows its own audio values.
    if (!g.m_bMp3Loaded && AnyShown(o, 46, kColMp3Last)) {
      ReadMp3Info(fullPath, g.m_media, g.m_mp3);
      g.m_bMp3Loaded = true;
    }
  }
  return ok;
}

void CListingEngine::ReadDirOwner(CDirRecord& dir) {
  // A drive row shows the owner of its mount point; folders inside an archive have none (the
  // path does not exist, so the text stays empty).
  dir.m_strOwner = GetFileOwner(dir.m_strPath);
  dir.m_bOwnerRead = true;
}

void CListingEngine::FillExtraCells(CFileRecord& rec) {
  const CListingOptions& o = m_options;
  auto cell = [&](int id) -> std::string& { return Cell(id); };
  static const FileHashes kNoHashes;
  const FileHashes& h = rec.m_pInfo ? rec.m_pInfo->m_hashes : kNoHashes;
  if (o.IsShown(kColCrc32)) cell(kColCrc32) = Crc32Cell(h, rec.m_bIsDir);
  if (o.IsShown(kColMd5)) cell(kColMd5) = Md5Cell(h, rec.m_bIsDir);
  if (o.IsShown(kColSha1)) cell(kColSha1) = Sha1Cell(h, rec.m_bIsDir);
  if (!rec.m_pInfo) return;
  const FileInfoGroups& g = *rec.m_pInfo;
  const NumberFormat& nf = m_numberFormat;
  if (o.IsShown(kColType)) cell(kColType) = g.m_strType;
  if (o.IsShown(kColOwner)) cell(kColOwner) = g.m_strOwner;
  if (rec.m_bIsDir) return;
  if (AnyShown(o, kColFileVersion, kColLanguage)) {
    const VersionInfo& v = g.m_version;
    const std::string* texts[] = {&v.fileVersion, &v.productVersion, &v.productName, &v.description,
                                  &v.copyright,   &v.company,        &v.comments,    &v.language};
    for (int i = 0; i < 8; ++i) cell(kColFileVersion + i) = *texts[i];
  }
  if (AnyShown(o, kColDocFirst, kColDocLast)) {
    const DocProperties& d = g.m_docProps;
    const std::string* texts[] = {&d.title,    &d.subject,      &d.author,     &d.keywords,
                                  &d.comments, &d.templateName, &d.lastAuthor, &d.revisionNumber};
    for (int i = 0; i < 8; ++i) cell(kColDocFirst + i) = *texts[i];
    cell(kColLastPrinted) = FormatDocDate(d.lastPrinted, o);
    cell(kColDocCreated) = FormatDocDate(d.created, o);
    cell(kColLastSaved) = FormatDocDate(d.lastSaved, o);
    if (d.hasPageCount) cell(34) = FormatInteger(d.pageCount, nf);
    if (d.hasWordCount) cell(35) = FormatInteger(d.wordCount, nf);
    if (d.hasCharCount) cell(36) = FormatInteger(d.charCount, nf);
    cell(37) = d.appName;
    cell(38) = d.category;
    if (d.hasSecurity) cell(39) = FormatInteger(d.security, nf);
  }
  if (AnyShown(o, kColMediaFirst, kColMediaLast)) {
    const MediaInfo& m = g.m_media;
    auto number = [&](int id, bool has, std::int32_t v) {
      if (has && o.IsShown(id)) cell(id) = FormatInteger(v, nf);
    };
    cell(40) = m.videoFormat;
    number(41, m.hasWidth, m.width);
    number(42, m.hasHeight, m.height);
    number(43, m.hasBitsPerPixel, m.bitsPerPixel);
    number(44, m.hasFrames, m.frames);
    if (m.hasFramesPerSecond)
      cell(45) = FormatNumber(m.framesPerSecond, 2, nf, (" " + GetText(5014)).c_str());
    cell(46) = m.audioFormat;
    if (m.hasSamplingFrequency) cell(47) = FormatNumber(m.samplingFrequency, 2, nf, " kHz");
    number(48, m.hasBitsPerChannel, m.bitsPerChannel);
    number(49, m.hasChannels, m.channels);
    if (m.hasLength) cell(50) = FormatLength(m.length);
  }
  if (AnyShown(o, kColTrack, kColMp3Last)) {
    const Mp3Tags& t = g.m_mp3;
    const std::string* texts[] = {&t.track, &t.title, &t.artist,  &t.album,
                                  &t.year,  &t.genre, &t.comments};
    for (int i = 0; i < 7; ++i) cell(kColTrack + i) = *texts[i];
  }
}

SortValue ItemExtraSortValue(const CFileRecord& r, int key) {
  SortValue v;
  if (!r.m_pInfo) return v;
  const FileInfoGroups& g = *r.m_pInfo;
  auto text = [&](const std::string& s) {
    v.kind = SortValue::kText;
    v.text = FoldForSort(s);
    return v;
  };
  auto number = [&](bool has, std::int64_t n) {
    if (has) {
      v.kind = SortValue::kSigned;
      v.num = n;
    }
    return v;
  };
  const MediaInfo& m = g.m_media;
  const Mp3Tags& t = g.m_mp3;
  const DocProperties& d = g.m_docProps;
  const VersionInfo& ver = g.m_version;
  auto unsignedNumber = [&](std::uint64_t n) {
    v.kind = SortValue::kUnsigned;
    v.unum = n;
    return v;
  };
  switch (key) {
    case kColFileVersion:
      return unsignedNumber(ver.fileVersionNumber);
    case kColProductVersion:
      return unsignedNumber(ver.productVersionNumber);
    case 14:
      return text(ver.productName);
    case 15:
      return text(ver.description);
    case 16:
      return text(ver.copyright);
    case 17:
      return text(ver.company);
    case 18:
      return text(ver.comments);
    case kColLanguage:
      return text(ver.language);
    case kColCrc32:
      return unsignedNumber(g.m_hashes.crc32);
    case kColMd5:
      return text(g.m_hashes.md5);
    case kColSha1:
      return text(g.m_hashes.sha1);
    case 23:
      return text(d.title);
    case 24:
      return text(d.subject);
    case 25:
      return text(d.author);
    case 26:
      return text(d.keywords);
    case 27:
      return text(d.comments);
    case 28:
      return text(d.templateName);
    case 29:
      return text(d.lastAuthor);
    case 30:
      return text(d.revisionNumber);
    case kColLastPrinted:
      return number(true, d.lastPrinted);
    case kColDocCreated:
      return number(true, d.created);
    case kColLastSaved:
      return number(true, d.lastSaved);
    case 34:
      return number(d.hasPageCount, d.pageCount);
    case 35:
      return number(d.hasWordCount, d.wordCount);
    case 36:
      return number(d.hasCharCount, d.charCount);
    case 37:
      return text(d.appName);
    case 38:
      return text(d.category);
    case 39:
      return number(d.hasSecurity, d.security);
    case 40:
      return text(m.videoFormat);
    case 41:
      return number(m.hasWidth, m.width);
    case 42:
      return number(m.hasHeight, m.height);
    case 43:
      return number(m.hasBitsPerPixel, m.bitsPerPixel);
    case 44:
      return number(m.hasFrames, m.frames);
    case 45:
      return number(m.hasFramesPerSecond, m.framesPerSecond);
    case 46:
      return text(m.audioFormat);
    case 47:
      return number(m.hasSamplingFrequency, m.samplingFrequency);
    case 48:
      return number(m.hasBitsPerChannel, m.bitsPerChannel);
    case 49:
      return number(m.hasChannels, m.channels);
    case 50:
      return number(m.hasLength, m.length);
    case kColTrack:  // compared character by character by code
      v.kind = SortValue::kExact;
      v.text = t.track;
      return v;
    case 52:
      return text(t.title);
    case 53:
      return text(t.artist);
    case 54:
      return text(t.album);
    case 55:
      return text(t.year);
    case 56:
      return text(t.genre);
    case 57:
      return text(t.comments);
    default:
      return v;
  }
}

}  // namespace orvane
