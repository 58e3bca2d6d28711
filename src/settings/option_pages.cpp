#include "settings/option_pages.h"

#include <algorithm>
#include <ctime>

#include "base/numbers.h"
#include "base/unicode.h"
#include "settings/option_controls.h"
#include "writers/html_style.h"

namespace orvane {

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

std::optional<COptionPages::Snapshot> COptionPages::TakeSnapshot() const {
  if (!m_listener) return std::nullopt;
  Snapshot states{{}, m_order.Entries(), StylesText()};
  states.controls.reserve(m_controls.size());
  for (const COptionControl& c : m_controls)
    states.controls.push_back({c.m_nValue, c.m_strText, c.m_tMoment, IsEnabled(c.m_nId)});
  return states;
}

std::string COptionPages::StylesText() const {
  std::string text;
  for (const CHtmlStyle& style : m_styles.elements)
    text += StyleToValue(style) + "|" + std::to_string(style.nSize) + "\n";
  return text;
}

void COptionPages::Report(const std::optional<Snapshot>& before) const {
  if (!m_listener || !before || before->controls.size() != m_controls.size()) return;
  const bool orderChanged = before->order != m_order.Entries();
  const bool stylesChanged = before->styles != StylesText();
  std::vector<ControlChange> changes;
  for (std::size_t i = 0; i < m_controls.size(); ++i) {
    const COptionControl& c = m_controls[i];
    const ControlState& old = before->controls[i];
    ControlChange change{
        c.m_nId, old.value != c.m_nValue || old.text != c.m_strText || old.moment != c.m_tMoment,
        old.enabled != IsEnabled(c.m_nId)};
    if (c.m_nId == kKeyColumnOrder && orderChanged) change.value = true;
    if (c.m_nId == kKeyStyleElement && stylesChanged) change.value = true;
    if (change.value || change.enabled) changes.push_back(change);
  }
  if (!changes.empty()) m_listener->ControlsChanged(changes);
}

template <class Change>
bool COptionPages::Edit(Change change) {
  const std::optional<Snapshot> before = TakeSnapshot();
  const bool done = change();
  Report(before);
  return done;
}

bool COptionPages::SetCheck(int id, int state) {
  return Edit([&] {
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
  });
}

bool COptionPages::SetText(int id, std::string text) {
  return Edit([&] {
    COptionControl* c = FindMutable(id);
    if (!c || c->m_kind != ControlKind::kEdit) return false;
    c->m_strText = std::move(text);
    if (id == kKeyStyleSize && !c->m_strText.empty()) {
      const int element = Selection(kKeyStyleElement);
      if (element >= 0 && element < kHtmlElementCount) m_styles[element].nSize = IntValue(id);
    }
    return true;
  });
}

bool COptionPages::SetSelection(int id, int index) {
  return Edit([&] {
    COptionControl* c = FindMutable(id);
    if (!c || c->m_kind != ControlKind::kCombo) return false;
    const int count = static_cast<int>(c->m_choices.size());
    c->m_nValue = index >= 0 && index < count ? index : -1;
    if (id == kKeyStyleElement) SetStyleSizeText();
    return true;
  });
}

bool COptionPages::SetMoment(int id, std::int64_t moment) {
  return Edit([&] {
    COptionControl* c = FindMutable(id);
    if (!c || c->m_kind != ControlKind::kDatePicker) return false;
    c->m_tMoment = moment;
    return true;
  });
}

void COptionPages::StylesChanged() {
  Edit([this] {
    SetStyleSizeText();
    return true;
  });
}

void COptionPages::EditColumnOrder(const std::function<void(CColumnOrderList&)>& change) {
  Edit([&] {
    change(m_order);
    return true;
  });
}

void COptionPages::EditStyles(const std::function<void(CHtmlStyleSet&)>& change) {
  Edit([&] {
    change(m_styles);
    SetStyleSizeText();
    return true;
  });
}

void COptionPages::SetStyleSizeText() {
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
  // The element's colour can be changed while its list can; only the elements with text have a
  // font (and a text colour).
  if (id == kKeyStyleColor) return IsEnabled(kKeyStyleElement);
  if (id == kKeyStyleFont) {
    const int element = Selection(kKeyStyleElement);
    return IsEnabled(kKeyStyleElement) && element >= kStyleHeader && element <= kStyleOddRow;
  }
  const COptionControl* c = Find(id);
  if (!c) return false;
  if (c->m_enabledWhen &&
      !c->m_enabledWhen->Holds([this](OptionFlag field) { return RuleValue(field); }))
    return false;
  return c->m_nNeedsChoice == 0 || Selection(c->m_nNeedsChoice) > 0;
}

int COptionPages::RuleValue(OptionFlag field) const {
  if (field == &CListingOptions::m_nOutputType) return OutputType();
  for (const COptionControl& c : m_controls) {
    if (c.m_field != field) continue;
    return c.m_kind == ControlKind::kCombo ? std::max(c.m_nValue, 0) : c.m_nValue;
  }
  return 0;
}

int COptionPages::IntValue(int id) const {
  const COptionControl* c = Find(id);
  const int value = ParseDecimal(c ? c->m_strText : std::string());
  return c && c->m_range ? std::clamp(value, c->m_range->first, c->m_range->second) : value;
}

}  // namespace orvane
