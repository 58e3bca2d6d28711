// The apply step of the option pages: controls into the listing options record.
#include <algorithm>

#include "base/unicode.h"
#include "settings/option_controls.h"
#include "settings/option_pages.h"

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
  ApplyFlags(options);
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

void COptionPages::ApplyFlags(CListingOptions& o) const {
  for (const COptionControl& c : m_controls) {
    if (!c.m_field) continue;
    if (c.m_kind == ControlKind::kCheckBox) o.*c.m_field = IsOn(c.m_nId) ? 1 : 0;
    if (c.m_kind == ControlKind::kThreeState) o.*c.m_field = c.m_nValue;
  }
}

void COptionPages::ApplyColumns(CListingOptions& o) const {
  for (const COptionControl& c : m_controls) {
    if (!c.m_column) continue;
    const ColumnId column = *c.m_column;
    if (c.m_kind == ControlKind::kCheckBox) {
      if (column != ColumnId::kName) o.m_bColumn[column] = IsOn(c.m_nId) ? 1 : 0;
      continue;
    }
    switch (column) {
      case ColumnId::kName:
        o.m_nNameWidth = IntValue(c.m_nId);
        break;
      case ColumnId::kSize:
        o.m_nSizeWidth = IntValue(c.m_nId);
        break;
      case ColumnId::kType:
        o.m_nTypeWidth = IntValue(c.m_nId);
        break;
      case ColumnId::kOwner:
        o.m_nOwnerWidth = IntValue(c.m_nId);
        break;
      default:
        o.m_nColumnWidth[column] = IntValue(c.m_nId);
    }
  }
  for (int i = 0; i < kHiddenTagCount; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    o.m_bHiddenTag[slot] = Check(kHiddenTagKeys[i].check) ? 1 : 0;
    o.m_nHiddenTagWidth[slot] = IntValue(kHiddenTagKeys[i].width);
  }
}

void COptionPages::ApplyOutput(CListingOptions& o) const {
  // The flags themselves came with ApplyFlags.
  o.m_nOutputType = OutputType();
  o.m_strListingName = CleanListingName(Text(kKeyListingName));
  const int encoding = Selection(kKeyEncoding);
  o.m_nEncoding = encoding >= 0 ? encoding : kEncodingUtf8;
  o.m_nRecursionLevel = IntValue(kKeyRecursionLevel);
  o.m_nSummaryPos = Check(kKeySummaryBottom) ? 1 : 0;
  const std::string sep = TruncateCodePoints(Text(kKeyCsvSeparator), 1);
  o.m_strCsvSeparator = o.m_bCsvTab ? "\t" : sep.empty() ? ";" : sep;
  auto sortKey = [this](int id) {
    const COptionControl* c = Find(id);
    if (!c || c->m_nValue < 0 || c->m_nValue >= static_cast<int>(c->m_itemData.size()))
      return kNotSorted;
    return c->m_itemData[static_cast<std::size_t>(c->m_nValue)];
  };
  const int fileKeys[] = {kKeyFileSort1, kKeyFileSort2, kKeyFileSort3};
  const int fileDesc[] = {kKeyFileSortDesc1, kKeyFileSortDesc2, kKeyFileSortDesc3};
  const int dirKeys[] = {kKeyDirSort1, kKeyDirSort2, kKeyDirSort3};
  const int dirDesc[] = {kKeyDirSortDesc1, kKeyDirSortDesc2, kKeyDirSortDesc3};
  for (std::size_t i = 0; i < 3; ++i) {
    o.m_nFileSortKey[i] = sortKey(fileKeys[i]);
    o.m_bFileSortDesc[i] = IsOn(fileDesc[i]) ? 1 : 0;
    o.m_nDirSortKey[i] = sortKey(dirKeys[i]);
    o.m_bDirSortDesc[i] = IsOn(dirDesc[i]) ? 1 : 0;
  }
  m_order.ApplyTo(o);
  o.m_strHtmlTitle = TruncateCodePoints(Text(kKeyHtmlTitle), kMaxHtmlTitle);
  o.m_strCssPath = TruncateCodePoints(Text(kKeyCssPath), kMaxCssPath);
  o.m_htmlStyle = m_styles;
}

void COptionPages::ApplyFormats(CListingOptions& o) const {
  auto choice = [this](int id, int fallback) {
    const int sel = Selection(id);
    return sel >= 0 ? sel : fallback;
  };
  o.m_nDateFormat = choice(kKeyDateFormat, 0);
  o.m_nTimeFormat = choice(kKeyTimeFormat, 0);
  o.m_nSizeUnit = choice(kKeySizeDisplay, kBytes);
  o.m_nSizePrecision = choice(kKeySizePrecision, 0);
  static const char* const kThousand[] = {"", " ", ",", ".", "'"};
  o.m_chThousandSep = kThousand[choice(kKeyThousandSep, 1)];
  o.m_chDecimalSep = choice(kKeyDecimalSep, 0) == 1 ? "," : ".";
  o.m_nPathForm = choice(kKeyPathForm, kPathFull);
  o.DeriveFormats();
}

void COptionPages::ApplyFilter(CListingOptions& o, std::int64_t now) {
  o.m_strMask = Text(kKeyMask);
  o.m_nDateKind = Check(kKeyDateCreation) ? 0 : Check(kKeyDateLastAccess) ? 2 : 1;
  if (!Check(kKeyDateAfter)) SetMoment(kKeyAfterPicker, now);
  if (!Check(kKeyDateBefore)) SetMoment(kKeyBeforePicker, now);
  o.m_tAfter = Moment(kKeyAfterPicker);
  o.m_tBefore = Moment(kKeyBeforePicker);
  o.m_nSizeMore = IntValue(kKeySizeMoreValue);
  o.m_nSizeLess = IntValue(kKeySizeLessValue);
  const int unit = Selection(kKeySizeFilterUnit);
  o.m_nSizeFilterUnit = unit >= 0 ? unit : 0;
}

}  // namespace orvane
