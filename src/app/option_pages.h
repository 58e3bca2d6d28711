// COptionPages: the option pages ("Displayed columns", "Output options", "Filter options",
// "Program options") and the check box of the tree pane, as a model without any window.
//
// Every control is kept by its control identifier with its kind, its current value and its
// English label, in the order the pages are walked when options are saved. A window toolkit
// only shows and edits this model; the configuration files read and write it; Apply copies it
// into the listing options with the rules of enabled controls. Used on the user-interface
// thread only; no locking.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/column_order_list.h"
#include "engine/listing_options.h"
#include "writers/html_style.h"

namespace orvane {

enum class ControlKind {
  kCheckBox,     // value: 0 clear, 1 ticked
  kThreeState,   // value: 0 clear, 1 ticked, 2 indeterminate
  kRadio,        // value: 0 or 1; turning one on turns the others of its group off
  kEdit,         // text
  kCombo,        // value: selected index, -1 for none
  kDatePicker,   // moment in seconds since 1970-01-01 UTC
  kColumnOrder,  // the column order list (see ColumnOrder())
};

enum class OptionPage { kColumns, kOutput, kFilter, kProgram, kTree };

struct COptionControl {
  int m_nId = 0;
  ControlKind m_kind = ControlKind::kCheckBox;
  OptionPage m_page = OptionPage::kColumns;
  std::string m_strLabel;              // English caption
  bool m_bHidden = false;              // kept and stored, never shown
  std::vector<std::string> m_choices;  // combo items
  std::vector<int> m_itemData;         // combo item data (the sort lists: 999 or a column id)
  int m_nGroup = 0;                    // radio buttons: identifier of the group's first button
  int m_nValue = 0;                    // check state or combo selection
  std::string m_strText;               // edit text
  std::int64_t m_tMoment = 0;          // date picker
};

// The document flags kept on the "Program options" page and the tree pane.
struct CProgramOptions {
  int m_bRememberSelection = 1;  // 1257
  int m_bShellIntegration = 0;   // 1258
  int m_bAutoRefresh = 1;        // 1477
  int m_bSelectWithSubdirs = 1;  // 1208
};

// Control identifiers used by name.
enum ControlKey : int {
  kKeyNameColumn = 1389,
  kKeyDirRows = 1402,
  kKeySubdirs = 1396,
  kKeyListingInEachDir = 1426,
  kKeyListingName = 1451,
  kKeyLimitRecursion = 1525,
  kKeyRecursionLevel = 1450,
  kKeySummary = 1514,
  kKeyCsvSeparator = 1424,
  kKeyCsvTab = 1459,
  kKeyColumnOrder = 1442,
  kKeyTextOutput = 1411,
  kKeyHtmlOutput = 1413,
  kKeyCsvOutput = 1414,
  kKeyLinksToFiles = 1416,
  kKeyLinksToDirs = 1417,
  kKeyHtmlTitle = 1420,
  kKeyStyleElement = 1251,
  kKeyStyleSize = 1436,
  kKeySizeDisplay = 1249,
  kKeySizePrecision = 1250,
  kKeyDateAfter = 1512,
  kKeyAfterPicker = 1494,
  kKeyDateBefore = 1513,
  kKeyBeforePicker = 1498,
  kKeyRemember = 1257,
  kKeyShellIntegration = 1258,
  kKeyAutoRefresh = 1477,
  kKeySelectWithSubdirs = 1208,
};

class COptionPages {
 public:
  // The pages with their defaults; the date pickers start at now.
  explicit COptionPages(std::int64_t now);
  COptionPages();  // now = the current time

  // All controls in walk order.
  const std::vector<COptionControl>& Controls() const { return m_controls; }
  const COptionControl* Find(int id) const;

  // Edits, as a user would make them. Each returns false when id is not a control of that kind
  // or the value cannot be taken (the control then keeps its value).
  bool SetCheck(int id, int state);
  bool SetText(int id, std::string text);
  bool SetSelection(int id, int index);  // an index outside the list selects nothing (-1)
  bool SetMoment(int id, std::int64_t moment);

  // Whether a control can be used now (the rules that tie controls to each other).
  bool IsEnabled(int id) const;
  // A check box's state as it applies: ticked and enabled.
  bool IsOn(int id) const;
  int Check(int id) const;
  int Selection(int id) const;
  std::string Text(int id) const;
  std::int64_t Moment(int id) const;
  // The output type chosen by the three radio buttons (0 text, 1 HTML, 2 CSV).
  int OutputType() const;

  // Page state beyond single controls: the column order list and the six style elements.
  CColumnOrderList& ColumnOrder() { return m_order; }
  const CColumnOrderList& ColumnOrder() const { return m_order; }
  CHtmlStyleSet& Styles() { return m_styles; }
  const CHtmlStyleSet& Styles() const { return m_styles; }
  // Call after changing Styles() directly: the "Size:" box follows the selected element.
  void StylesChanged();

  // The apply notice: copies the controls into the listing options (flags only when ticked
  // and enabled, derived formats recomputed) and the program flags. A date picker whose box is
  // off is first reset to now.
  void Apply(CListingOptions& options, CProgramOptions& program, std::int64_t now);

 private:
  COptionControl* FindMutable(int id);
  int IntValue(int id, int low, int high) const;
  void ApplyColumns(CListingOptions& o) const;
  void ApplyOutput(CListingOptions& o) const;
  void ApplyFormats(CListingOptions& o) const;
  void ApplyFilter(CListingOptions& o, std::int64_t now);

  std::vector<COptionControl> m_controls;
  CColumnOrderList m_order;
  CHtmlStyleSet m_styles;
};

}  // namespace orvane
