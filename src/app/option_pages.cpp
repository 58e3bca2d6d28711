#include "app/option_pages.h"

#include <algorithm>
#include <ctime>

#include "app/html_style_codec.h"
#include "app/option_controls.h"
#include "base/unicode.h"

namespace orvane {
namespace {

bool IsWidthKey(int id) {
  if (ColumnOfWidthKey(id) >= 0) return true;
  return std::any_of(std::begin(kHiddenTagKeys), std::end(kHiddenTagKeys),
                     [id](const HiddenTagKeys& k) { return k.width == id; });
}

}  // namespace

COptionPages::COptionPages(std::int64_t now) : m_controls(BuildOptionControls(now)) {}

COptionPages::COptionPages() : COptionPages(static_cast<std::int64_t>(std::time(nullptr))) {}

const COptionControl* COptionPages::Find(int id) const {
  for (const COptionControl& c : m_controls) {
    if (c.m_nId == id) return &c;
  }
  return nullptr;
}

COptionControl* COptionPages::FindMutable(int id) {
  return const_cast<COptionControl*>(Find(id));
}

bool COptionPages::SetCheck(int id, int state) {
  COptionControl* c = FindMutable(id);
  if (!c) return false;
  switch (c->m_kind) {
    case ControlKind::kCheckBox:
      c->m_nValue = state != 0 ? 1 : 0;
      return true;
    case ControlKind::kThreeState:
      c->m_nValue = state == 0 || state == 1 ? state : 2;
      return true;
    case ControlKind::kRadio:
      // A radio button goes off only when another of its group goes on.
      if (state == 0) return true;
      for (COptionControl& other : m_controls) {
        if (other.m_kind == ControlKind::kRadio && other.m_nGroup == c->m_nGroup)
          other.m_nValue = other.m_nId == id ? 1 : 0;
      }
      return true;
    default:
      return false;
  }
}

bool COptionPages::SetText(int id, std::string text) {
  COptionControl* c = FindMutable(id);
  if (!c || c->m_kind != ControlKind::kEdit) return false;
  c->m_strText = std::move(text);
  if (id == kKeyStyleSize && !c->m_strText.empty()) {
    const int element = Selection(kKeyStyleElement);
    if (element >= 0 && element < kHtmlElementCount)
      m_styles[element].nSize = std::clamp(ParseDecimal(c->m_strText), 1, 100);
  }
  return true;
}

bool COptionPages::SetSelection(int id, int index) {
  COptionControl* c = FindMutable(id);
  if (!c || c->m_kind != ControlKind::kCombo) return false;
  const int count = static_cast<int>(c->m_choices.size());
  c->m_nValue = index >= 0 && index < count ? index : -1;
  if (id == kKeyStyleElement) StylesChanged();
  return true;
}

bool COptionPages::SetMoment(int id, std::int64_t moment) {
  COptionControl* c = FindMutable(id);
  if (!c || c->m_kind != ControlKind::kDatePicker) return false;
  c->m_tMoment = moment;
  return true;
}

void COptionPages::StylesChanged() {
  const int element = Selection(kKeyStyleElement);
  if (COptionControl* size = FindMutable(kKeyStyleSize); size && element >= 0)
    size->m_strText = std::to_string(m_styles[element].nSize);
}

int COptionPages::Check(int id) const {
  const COptionControl* c = Find(id);
  return c ? c->m_nValue : 0;
}

int COptionPages::Selection(int id) const {
  const COptionControl* c = Find(id);
  return c && c->m_kind == ControlKind::kCombo ? c->m_nValue : -1;
}

std::string COptionPages::Text(int id) const {
  const COptionControl* c = Find(id);
  return c ? c->m_strText : std::string();
}

std::int64_t COptionPages::Moment(int id) const {
  const COptionControl* c = Find(id);
  return c ? c->m_tMoment : 0;
}

int COptionPages::OutputType() const {
  if (Check(kKeyHtmlOutput)) return kOutputHtml;
  if (Check(kKeyCsvOutput)) return kOutputCsv;
  return kOutputText;
}

bool COptionPages::IsOn(int id) const {
  return Check(id) != 0 && IsEnabled(id);
}

bool COptionPages::IsEnabled(int id) const {
  const int type = OutputType();
  const bool html = type == kOutputHtml;
  if (IsWidthKey(id)) return type == kOutputText && !IsOn(1520);
  switch (id) {
    case kKeyNameColumn:
      return false;
    case 1403:
      return Check(kKeyDirRows) != 0;
    case 1425:
      return Check(kKeyDirRows) == 0;
    case 1427:
    case 1412:
      return Check(kKeySubdirs) != 0;
    case kKeyListingName:
      return Check(kKeyListingInEachDir) != 0;
    case kKeyRecursionLevel:
      return Check(kKeyLimitRecursion) != 0;
    case 1515:
    case 1516:
      return Check(kKeySummary) != 0;
    case 1520:
    case 1521:
      return type == kOutputText;
    case kKeyCsvTab:
      return type == kOutputCsv;
    case kKeyCsvSeparator:
      return type == kOutputCsv && Check(kKeyCsvTab) == 0;
    case kKeyLinksToFiles:
    case kKeyLinksToDirs:
    case kKeyExternalCss:
    case kKeyHtmlTitle:
    case kKeyStyleElement:
      return html;
    case 1418:
      return html && (Check(kKeyLinksToFiles) || Check(kKeyLinksToDirs));
    case 1523:
      return html && Check(kKeyLinksToFiles);
    case kKeyCssPath:
      return html && Check(kKeyExternalCss);
    case kKeyStyleSize:
      return html && Selection(kKeyStyleElement) > 0;
    case kKeySizePrecision:
      return Selection(kKeySizeDisplay) > 0;
    case 1253:
      return Selection(kKeySizeDisplay) > 0 && Selection(kKeySizePrecision) > 0;
    case kKeyAfterPicker:
      return Check(kKeyDateAfter) != 0;
    case kKeyBeforePicker:
      return Check(kKeyDateBefore) != 0;
    case 1316:
      return Check(1499) != 0;
    case 1507:
      return Check(1500) != 0;
    default:
      return Find(id) != nullptr;
  }
}

int COptionPages::IntValue(int id, int low, int high) const {
  return std::clamp(ParseDecimal(Text(id)), low, high);
}

}  // namespace orvane
