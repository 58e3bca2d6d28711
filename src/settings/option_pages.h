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
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/listing_options.h"
#include "settings/column_order_list.h"
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
  // The flag or choice of the listing options the control edits (check boxes, three-state
  // boxes and combos that hold one option; nullptr for the others).
  OptionFlag m_field = nullptr;
  // When the control can be used: the options' own rule for m_field, or a rule of the page.
  std::optional<EnabledRule> m_enabledWhen;
  int m_nNeedsChoice = 0;            // also needs this combo past its first entry (0: none)
  std::optional<ColumnId> m_column;  // the column of a "Displayed columns" box or width box
  // A number box (widths, levels, sizes): the lowest and highest value Apply takes from it.
  std::optional<std::pair<int, int>> m_range;
};

// The document flags kept on the "Program options" page and the tree pane.
struct CProgramOptions {
  int m_bRememberSelection = 1;  // kKeyRemember
  int m_bShellIntegration = 0;   // kKeyShellIntegration
  int m_bAutoRefresh = 1;        // kKeyAutoRefresh
  int m_bSelectWithSubdirs = 1;  // kKeySelectWithSubdirs
};

// The controls of the pages apart from the "Displayed columns" boxes (see option_controls.h).
// The numbers are the keys of the configuration files.
enum ControlKey : int {
  kKeyNameColumn = 1389,
  // Output options: rows and structure.
  kKeyDirRows = 1402,
  kKeyFileRows = 1407,
  kKeySubdirs = 1396,
  kKeySubdirsFirst = 1427,
  kKeySurroundSubdirs = 1412,
  kKeyFileCountInDirRow = 1403,
  kKeyFilesTogether = 1425,
  kKeyTimeInDates = 1441,
  kKeyColumnNamesInHeader = 1415,
  kKeyListingInEachDir = 1426,
  kKeyListingName = 1451,
  kKeyEncoding = 1490,
  kKeyHideEmptyDirs = 1522,
  kKeyArchivesAsDirs = 1518,
  kKeyLimitRecursion = 1525,
  kKeyRecursionLevel = 1450,
  kKeySummary = 1514,
  kKeySummaryTop = 1515,
  kKeySummaryBottom = 1516,
  kKeyProgramInfo = 1519,
  // Text and CSV.
  kKeyAutoWidths = 1520,
  kKeyWrapColumns = 1521,
  kKeyCsvSeparator = 1424,
  kKeyCsvTab = 1459,
  // Sorting, column order and alignment.
  kKeyFileSort1 = 1246,
  kKeyFileSort2 = 1247,
  kKeyFileSort3 = 1248,
  kKeyFileSortDesc1 = 1212,
  kKeyFileSortDesc2 = 1213,
  kKeyFileSortDesc3 = 1214,
  kKeyColumnOrder = 1442,
  kKeyAlignLeft = 1446,
  kKeyAlignCenter = 1447,
  kKeyAlignRight = 1448,
  kKeySupersedeId3v1 = 1406,
  // Output type and HTML.
  kKeyTextOutput = 1411,
  kKeyHtmlOutput = 1413,
  kKeyCsvOutput = 1414,
  kKeyLinksToFiles = 1416,
  kKeyLinksToDirs = 1417,
  kKeyFileProtocol = 1418,
  kKeyLinksInside = 1523,
  kKeyHtmlTitle = 1420,
  kKeyStyleElement = 1251,
  kKeyStyleSize = 1436,
  // Push buttons of the style element (stored nowhere; IsEnabled knows them).
  kKeyStyleFont = 1433,
  kKeyStyleColor = 1434,
  // Formats.
  kKeyDateFormat = 1234,
  kKeyTimeFormat = 1236,
  kKeySizeDisplay = 1249,
  kKeySizePrecision = 1250,
  kKeyThousandSep = 1252,
  kKeyDecimalSep = 1253,
  kKeyPathForm = 1238,
  kKeyDirSort1 = 1240,
  kKeyDirSort2 = 1242,
  kKeyDirSort3 = 1244,
  kKeyDirSortDesc1 = 1209,
  kKeyDirSortDesc2 = 1210,
  kKeyDirSortDesc3 = 1211,
  kKeyDrawDirsTree = 1524,
  // Filter options.
  kKeyMask = 1410,
  kKeyDateCreation = 1495,
  kKeyDateLastWrite = 1496,
  kKeyDateLastAccess = 1497,
  kKeyDateAfter = 1512,
  kKeyAfterPicker = 1494,
  kKeyDateBefore = 1513,
  kKeyBeforePicker = 1498,
  kKeySizeMore = 1499,
  kKeySizeMoreValue = 1316,
  kKeySizeLess = 1500,
  kKeySizeLessValue = 1507,
  kKeySizeFilterUnit = 1501,
  kKeyAttrArchive = 1502,
  kKeyAttrCompressed = 1503,
  kKeyAttrHidden = 1504,
  kKeyAttrReadOnly = 1505,
  kKeyAttrSystem = 1506,
  // Program options and the tree pane.
  kKeyRemember = 1257,
  kKeyShellIntegration = 1258,
  kKeyAutoRefresh = 1477,
  kKeySelectWithSubdirs = 1208,
  kKeyReuseChecksums = 1600,
};

// What an edit changed in one control: its value (check, selection, text or moment), whether
// it can be used, or both.
struct ControlChange {
  int id = 0;
  bool value = false;
  bool enabled = false;
  bool operator==(const ControlChange&) const = default;
};

// Told after each edit of the pages which controls changed, in walk order, so that a window
// updates those widgets alone. A changed column order list is reported as a value change of
// kKeyColumnOrder, changed style elements as one of kKeyStyleElement. Called on the thread that
// made the edit, never for an edit that changed nothing.
class COptionPagesListener {
 public:
  virtual ~COptionPagesListener() = default;
  virtual void ControlsChanged(const std::vector<ControlChange>& changes) = 0;
};

class COptionPages {
 public:
  // The pages with their defaults; the date pickers start at now.
  explicit COptionPages(std::int64_t now);
  COptionPages();  // now = the current time

  // All controls in walk order.
  const std::vector<COptionControl>& Controls() const { return m_controls; }
  const COptionControl* Find(int id) const;

  // The listener told of every change from now on (nullptr: none). It must outlive the pages
  // or be replaced first.
  void SetListener(COptionPagesListener* listener) { m_listener = listener; }

  // Edits, as a user would make them. Each returns false when id is not a control of that kind
  // or the value cannot be taken (the control then keeps its value). The listener hears of
  // every control whose value or enabled state the edit changed (a radio group, the boxes that
  // depend on a box, the style size box that follows the style element).
  bool SetCheck(int id, int state);
  bool SetText(int id, std::string text);
  bool SetSelection(int id, int index);  // an index outside the list selects nothing (-1)
  bool SetMoment(int id, std::int64_t moment);

  // Whether a control can be used now (the rules that tie controls to each other); also
  // answers for the style element's "&Font..." and "&Color..." buttons.
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
  // Edits of the list or of the styles that the listener hears of (the "Size:" box follows).
  void EditColumnOrder(const std::function<void(CColumnOrderList&)>& change);
  void EditStyles(const std::function<void(CHtmlStyleSet&)>& change);

  // The apply notice: copies the controls into the listing options (flags only when ticked
  // and enabled, derived formats recomputed) and the program flags. A date picker whose box is
  // off is first reset to now.
  void Apply(CListingOptions& options, CProgramOptions& program, std::int64_t now);

 private:
  // The state of every control, taken before an edit to tell the listener what it changed.
  struct ControlState {
    int value;
    std::string text;
    std::int64_t moment;
    bool enabled;
  };
  struct Snapshot {
    std::vector<ControlState> controls;
    std::vector<std::uint32_t> order;
    std::string styles;
  };
  std::string StylesText() const;
  // Nothing without a listener.
  std::optional<Snapshot> TakeSnapshot() const;
  void Report(const std::optional<Snapshot>& before) const;
  int RuleValue(OptionFlag field) const;
  // Makes an edit and tells the listener what it changed.
  template <class Change>
  bool Edit(Change change);
  void SetStyleSizeText();
  COptionControl* FindMutable(int id);
  void ApplyFlags(CListingOptions& o) const;
  // A number box's value within its range.
  int IntValue(int id) const;
  void ApplyColumns(CListingOptions& o) const;
  void ApplyOutput(CListingOptions& o) const;
  void ApplyFormats(CListingOptions& o) const;
  void ApplyFilter(CListingOptions& o, std::int64_t now);

  std::vector<COptionControl> m_controls;
  CColumnOrderList m_order;
  CHtmlStyleSet m_styles;
  COptionPagesListener* m_listener = nullptr;
};

}  // namespace orvane
