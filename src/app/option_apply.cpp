// The apply step of the option pages: controls into the listing options record.
#include <algorithm>

#include "app/option_controls.h"
#include "app/option_pages.h"
#include "base/unicode.h"

namespace orvane {
namespace {

constexpr std::size_t kMaxListingName = 255;
constexpr std::size_t kMaxHtmlTitle = 512;
constexpr std::size_t kMaxCssPath = 4095;

// The per-directory listing's base name: a bare file name, never a path.
std::string CleanListingName(const std::string& text) {
  std::string name = TruncateCodePoints(text, kMaxListingName);
  std::replace(name.begin(), name.end(), '/', '_');
  if (name.empty() || name == "." || name == "..") name = "_thisdir";
  return name;
}

}  // namespace

void COptionPages::Apply(CListingOptions& options, CProgramOptions& program, std::int64_t now) {
  ApplyColumns(options);
  ApplyOutput(options);
  ApplyFormats(options);
  ApplyFilter(options, now);
  program.m_bRememberSelection = Check(kKeyRemember);
  program.m_bShellIntegration = Check(kKeyShellIntegration);
  program.m_bAutoRefresh = Check(kKeyAutoRefresh);
  program.m_bSelectWithSubdirs = Check(kKeySelectWithSubdirs);
  options.ApplyEffectiveValues();
}

void COptionPages::ApplyColumns(CListingOptions& o) const {
  for (const COptionControl& c : m_controls) {
    if (c.m_page != OptionPage::kColumns) continue;
    const int checked = ColumnOfCheckKey(c.m_nId);
    if (checked >= 0 && checked != kColName)
      o.m_bColumn[static_cast<std::size_t>(checked)] = IsOn(c.m_nId) ? 1 : 0;
    const int widthOf = ColumnOfWidthKey(c.m_nId);
    if (widthOf < 0) continue;
    switch (widthOf) {
      case kColName:
        o.m_nNameWidth = IntValue(c.m_nId, 1, 2048);
        break;
      case kColSize:
        o.m_nSizeWidth = IntValue(c.m_nId, 1, 24);
        break;
      case 9:
        o.m_nTypeWidth = IntValue(c.m_nId, 1, 80);
        break;
      case 11:
        o.m_nOwnerWidth = IntValue(c.m_nId, 1, 100);
        break;
      default:
        o.m_nColumnWidth[static_cast<std::size_t>(widthOf)] =
            IntValue(c.m_nId, 1, widthOf == kColTrack ? 3 : 100);
    }
  }
  for (int i = 0; i < kHiddenTagCount; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    o.m_bHiddenTag[slot] = Check(kHiddenTagKeys[i].check) ? 1 : 0;
    o.m_nHiddenTagWidth[slot] = IntValue(kHiddenTagKeys[i].width, 1, 100);
  }
}

void COptionPages::ApplyOutput(CListingOptions& o) const {
  auto flag = [this](int id) { return IsOn(id) ? 1 : 0; };
  o.m_nOutputType = OutputType();
  o.m_bDirRows = flag(1402);
  o.m_bFileRows = flag(1407);
  o.m_bSubdirs = flag(1396);
  o.m_bSubdirsFirst = flag(1427);
  o.m_bSurroundSubdirs = flag(1412);
  o.m_bFileCountInDirRow = flag(1403);
  o.m_bFilesTogether = flag(1425);
  o.m_bShowTimeInDates = flag(1441);
  o.m_bColumnNamesInHeader = flag(1415);
  o.m_bListingInEachDir = flag(1426);
  o.m_strListingName = CleanListingName(Text(kKeyListingName));
  const int encoding = Selection(1490);
  o.m_nEncoding = encoding >= 0 ? encoding : kEncodingUtf8;
  o.m_bHideEmptyDirs = flag(1522);
  o.m_bArchivesAsDirs = flag(1518);
  o.m_bLimitRecursion = flag(kKeyLimitRecursion);
  o.m_nRecursionLevel = IntValue(kKeyRecursionLevel, 0, 100);
  o.m_bSummary = flag(kKeySummary);
  o.m_nSummaryPos = Check(1516) ? 1 : 0;
  o.m_bProgramInfoInHeader = flag(1519);
  o.m_bAutoColumnWidths = flag(1520);
  o.m_bWrapColumns = flag(1521);
  o.m_bCsvTab = flag(kKeyCsvTab);
  const std::string sep = TruncateCodePoints(Text(kKeyCsvSeparator), 1);
  o.m_strCsvSeparator = o.m_bCsvTab ? "\t" : sep.empty() ? ";" : sep;
  auto sortKey = [this](int id) {
    const COptionControl* c = Find(id);
    if (!c || c->m_nValue < 0 || c->m_nValue >= static_cast<int>(c->m_itemData.size()))
      return kNotSorted;
    return c->m_itemData[static_cast<std::size_t>(c->m_nValue)];
  };
  const int fileKeys[] = {1246, 1247, 1248}, fileDesc[] = {1212, 1213, 1214};
  const int dirKeys[] = {1240, 1242, 1244}, dirDesc[] = {1209, 1210, 1211};
  for (std::size_t i = 0; i < 3; ++i) {
    o.m_nFileSortKey[i] = sortKey(fileKeys[i]);
    o.m_bFileSortDesc[i] = flag(fileDesc[i]);
    o.m_nDirSortKey[i] = sortKey(dirKeys[i]);
    o.m_bDirSortDesc[i] = flag(dirDesc[i]);
  }
  m_order.ApplyTo(o);
  o.m_bLinksToFiles = flag(kKeyLinksToFiles);
  o.m_bLinksToDirs = flag(kKeyLinksToDirs);
  o.m_bFileProtocolInLinks = flag(1418);
  o.m_bLinksToSubdirsInside = flag(1523);
  o.m_strHtmlTitle = TruncateCodePoints(Text(kKeyHtmlTitle), kMaxHtmlTitle);
  o.m_bExternalCss = flag(kKeyExternalCss);
  o.m_strCssPath = TruncateCodePoints(Text(kKeyCssPath), kMaxCssPath);
  o.m_htmlStyle = m_styles;
  o.m_bDrawDirsTree = Check(1524) ? 1 : 0;
}

void COptionPages::ApplyFormats(CListingOptions& o) const {
  auto choice = [this](int id, int fallback) {
    const int sel = Selection(id);
    return sel >= 0 ? sel : fallback;
  };
  o.m_nDateFormat = choice(1234, 0);
  o.m_nTimeFormat = choice(1236, 0);
  o.m_nSizeUnit = choice(kKeySizeDisplay, kBytes);
  o.m_nSizePrecision = choice(kKeySizePrecision, 0);
  static const char* const kThousand[] = {"", " ", ",", ".", "'"};
  o.m_chThousandSep = kThousand[choice(1252, 1)];
  o.m_chDecimalSep = choice(1253, 0) == 1 ? "," : ".";
  o.m_nPathForm = choice(1238, kPathFull);
  o.DeriveFormats();
}

void COptionPages::ApplyFilter(CListingOptions& o, std::int64_t now) {
  o.m_strMask = Text(1410);
  o.m_nDateKind = Check(1495) ? 0 : Check(1497) ? 2 : 1;
  if (!Check(kKeyDateAfter)) SetMoment(kKeyAfterPicker, now);
  if (!Check(kKeyDateBefore)) SetMoment(kKeyBeforePicker, now);
  o.m_bDateAfter = Check(kKeyDateAfter) ? 1 : 0;
  o.m_tAfter = Moment(kKeyAfterPicker);
  o.m_bDateBefore = Check(kKeyDateBefore) ? 1 : 0;
  o.m_tBefore = Moment(kKeyBeforePicker);
  o.m_bSizeMore = Check(1499) ? 1 : 0;
  o.m_nSizeMore = IntValue(1316, 0, 1023);
  o.m_bSizeLess = Check(1500) ? 1 : 0;
  o.m_nSizeLess = IntValue(1507, 0, 1023);
  const int unit = Selection(1501);
  o.m_nSizeFilterUnit = unit >= 0 ? unit : 0;
  o.m_nAttrArchive = Check(1502);
  o.m_nAttrHidden = Check(1504);
  o.m_nAttrReadOnly = Check(1505);
  o.m_nAttrCompressed = Check(1503);
  o.m_nAttrSystem = Check(1506);
}

}  // namespace orvane
