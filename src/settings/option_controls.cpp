// The table of option controls: identifiers, kinds, labels, choices and defaults, in the order
// the pages are walked.
#include "settings/option_controls.h"

#include <optional>
#include <tuple>
#include <utility>

#include "base/strings.h"
#include "engine/columns.h"

namespace orvane {
namespace {

using K = ControlKind;
using O = CListingOptions;

constexpr EnabledRule kWhenHtml{.outputs = OutputBit(kOutputHtml)};
// Width boxes count for text listings whose widths are not computed.
constexpr EnabledRule kWhenTextWidths{.outputs = OutputBit(kOutputText),
                                      .off = &O::m_bAutoColumnWidths};

EnabledRule WhenOn(OptionFlag flag) {
  return {.allOn = {flag}};
}

// Adds the rows of one page; a control that edits one option takes its default and its
// enabled-when rule from that option.
class Builder {
 public:
  Builder(std::vector<COptionControl>& out, OptionPage page, const CListingOptions& defaults)
      : m_out(out), m_page(page), m_defaults(defaults) {}

  COptionControl& Add(int id, K kind, std::string label) {
    COptionControl c;
    c.m_nId = id;
    c.m_kind = kind;
    c.m_page = m_page;
    c.m_strLabel = std::move(label);
    m_out.push_back(std::move(c));
    return m_out.back();
  }
  // The rule of the control added last (a page rule: the control edits no option flag).
  void When(const EnabledRule& rule, int needsChoice = 0) {
    m_out.back().m_enabledWhen = rule;
    m_out.back().m_nNeedsChoice = needsChoice;
  }
  // The values the number box added last takes.
  void Range(int low, int high) { m_out.back().m_range = std::pair(low, high); }
  // The column the control added last shows or sizes.
  void ForColumn(ColumnId column) { m_out.back().m_column = column; }
  void Check(int id, std::string label, int state, bool hidden = false) {
    Add(id, K::kCheckBox, std::move(label)).m_nValue = state;
    m_out.back().m_bHidden = hidden;
  }
  // A check box (or three-state box) holding one flag of the options.
  void Flag(int id, std::string label, OptionFlag field, bool hidden = false,
            K kind = K::kCheckBox) {
    COptionControl& c = Add(id, kind, std::move(label));
    c.m_nValue = m_defaults.*field;
    c.m_bHidden = hidden;
    c.m_field = field;
    if (const EnabledRule* rule = EffectiveRuleOf(field)) c.m_enabledWhen = *rule;
  }
  void Edit(int id, std::string label, std::string text, bool hidden = false) {
    Add(id, K::kEdit, std::move(label)).m_strText = std::move(text);
    m_out.back().m_bHidden = hidden;
  }
  void Combo(int id, std::string label, std::vector<std::string> choices, int selection) {
    COptionControl& c = Add(id, K::kCombo, std::move(label));
    c.m_choices = std::move(choices);
    c.m_nValue = selection;
  }
  // A combo holding one choice of the options.
  void Choice(int id, std::string label, std::vector<std::string> choices, OptionFlag field) {
    Combo(id, std::move(label), std::move(choices), m_defaults.*field);
    m_out.back().m_field = field;
  }
  void Radios(std::initializer_list<std::pair<int, const char*>> buttons, int on,
              std::optional<EnabledRule> when = std::nullopt) {
    const int group = buttons.begin()->first;
    for (const auto& [id, label] : buttons) {
      COptionControl& c = Add(id, K::kRadio, label);
      c.m_nGroup = group;
      c.m_nValue = id == on ? 1 : 0;
      c.m_enabledWhen = when;
    }
  }
  void SortCombo(int id, std::string label, bool files) {
    COptionControl& c = Add(id, K::kCombo, std::move(label));
    c.m_choices.push_back(GetText(5018).empty() ? "Not sorted" : GetText(5018));
    c.m_itemData.push_back(kNotSorted);
    for (ColumnId col : kAllColumns) {
      const CColumnInfo& info = ColumnInfo(col);
      if (files ? !info.m_bFileSort : !info.m_bDirSort) continue;
      c.m_choices.push_back(info.m_strName);
      c.m_itemData.push_back(ColumnNumber(col));  // the sort keys are stored by number
    }
    c.m_nValue = 0;
  }

 private:
  std::vector<COptionControl>& m_out;
  OptionPage m_page;
  const CListingOptions& m_defaults;
};

struct ColumnKeys {
  ColumnId column;
  int check, width;
};

// Check box and width box of each column, in page order (0 when a column has no width box).
using C = ColumnId;
constexpr ColumnKeys kColumnKeys[] = {
    {C::kNumber, 1366, 0},
    {C::kPath, 1388, 0},
    {C::kName, 1389, 1281},
    {C::kExtension, 1390, 0},
    {C::kSize, 1391, 1282},
    {C::kCreation, 1392, 0},
    {C::kLastWrite, 1215, 0},
    {C::kLastAccess, 1216, 0},
    {C::kType, 1224, 1289},
    {C::kAttributes, 1220, 0},
    {C::kOwner, 1226, 1299},
    {C::kFileVersion, 1217, 1288},
    {C::kProductVersion, 1256, 1296},
    {C::kProductName, 1478, 1397},
    {C::kDescription, 1221, 1290},
    {C::kCopyright, 1222, 1291},
    {C::kCompany, 1223, 1292},
    {C::kExeComments, 1225, 1293},
    {C::kLanguage, 1279, 1294},
    {C::kCrc32, 1218, 0},
    {C::kMd5, 1219, 0},
    {C::kSha1, 1280, 0},
    {C::kDocTitle, 1228, 1307},
    {C::kSubject, 1231, 1308},
    {C::kAuthor, 1227, 1309},
    {C::kKeywords, 1232, 1310},
    {C::kDocComments, 1268, 1311},
    {C::kTemplate, 1269, 1312},
    {C::kLastAuthor, 1270, 1313},
    {C::kRevision, 1271, 1314},
    {C::kLastPrinted, 1272, 0},
    {C::kDocCreated, 1273, 0},
    {C::kLastSaved, 1274, 0},
    {C::kPageCount, 1230, 1317},
    {C::kWordCount, 1275, 1318},
    {C::kCharCount, 1276, 1319},
    {C::kAppName, 1277, 1320},
    {C::kCategory, 1229, 1321},
    {C::kSecurity, 1278, 1322},
    {C::kVideoFormat, 1245, 1323},
    {C::kWidth, 1283, 1324},
    {C::kHeight, 1284, 1325},
    {C::kBpp, 1287, 1328},
    {C::kFrames, 1241, 1329},
    {C::kFps, 1243, 1330},
    {C::kAudioFormat, 1233, 1331},
    {C::kFrequency, 1235, 1332},
    {C::kBpc, 1254, 1333},
    {C::kChannels, 1237, 1334},
    {C::kLength, 1239, 1335},
    {C::kTrack, 1393, 1298},
    {C::kTagTitle, 1394, 1346},
    {C::kArtist, 1395, 1297},
    {C::kAlbum, 1259, 1295},
    {C::kYear, 1260, 0},
    {C::kGenre, 1261, 1300},
    {C::kTagComments, 1262, 1301},
};

void AddColumnsPage(std::vector<COptionControl>& out, const CListingOptions& d) {
  Builder b(out, OptionPage::kColumns, d);
  for (const ColumnKeys& k : kColumnKeys) {
    b.Check(k.check, ColumnLabel(k.column),
            k.column == ColumnId::kName ? 1 : d.m_bColumn[k.column]);
    b.ForColumn(k.column);
    if (k.column == ColumnId::kName) b.When({.outputs = 0});  // the name is always listed
    if (!k.width) continue;
    int width = d.m_nColumnWidth[k.column];
    int widest = k.column == ColumnId::kTrack ? 3 : 100;
    if (k.column == ColumnId::kName) std::tie(width, widest) = std::pair(d.m_nNameWidth, 2048);
    if (k.column == ColumnId::kSize) std::tie(width, widest) = std::pair(d.m_nSizeWidth, 24);
    if (k.column == ColumnId::kType) std::tie(width, widest) = std::pair(d.m_nTypeWidth, 80);
    if (k.column == ColumnId::kOwner) width = d.m_nOwnerWidth;
    b.Edit(k.width, std::string(ColumnLabel(k.column)) + " width", std::to_string(width));
    b.Range(1, widest);
    b.ForColumn(k.column);
    b.When(kWhenTextWidths);
  }
  for (int i = 0; i < kHiddenTagCount; ++i) {
    const auto& t = kHiddenTagKeys[i];
    b.Check(t.check, t.label, d.m_bHiddenTag[static_cast<std::size_t>(i)], true);
    b.Edit(t.width, std::string(t.label) + " width",
           std::to_string(d.m_nHiddenTagWidth[static_cast<std::size_t>(i)]), true);
    b.Range(1, 100);
    b.When(kWhenTextWidths);
  }
}

void AddRowsAndTextOptions(Builder& b, const CListingOptions& d) {
  b.Flag(kKeyDirRows, "Directory rows", &O::m_bDirRows);
  b.Flag(kKeyFileRows, "File rows", &O::m_bFileRows);
  b.Flag(kKeySubdirs, "Subdirs", &O::m_bSubdirs);
  b.Flag(kKeySubdirsFirst, "Subdirs in front of files", &O::m_bSubdirsFirst);
  b.Flag(kKeySurroundSubdirs, "Surround subdirs with <>", &O::m_bSurroundSubdirs);
  b.Flag(kKeyFileCountInDirRow, "File count in directory row", &O::m_bFileCountInDirRow);
  b.Flag(kKeyFilesTogether, "Files treated all together", &O::m_bFilesTogether);
  b.Flag(kKeyTimeInDates, "Show time in date columns", &O::m_bShowTimeInDates);
  b.Flag(kKeyColumnNamesInHeader, "Column names in header", &O::m_bColumnNamesInHeader);
  b.Flag(kKeyListingInEachDir, "Listing in each dir", &O::m_bListingInEachDir);
  b.Edit(kKeyListingName, "Listing name:", d.m_strListingName);
  b.When(WhenOn(&O::m_bListingInEachDir));
  b.Choice(kKeyEncoding, "Encoding:", {"ANSI", "UTF-8", "UTF-16"}, &O::m_nEncoding);
  b.Flag(kKeyHideEmptyDirs, "Hide empty dirs", &O::m_bHideEmptyDirs);
  b.Flag(kKeyArchivesAsDirs, "Treat archives as directories", &O::m_bArchivesAsDirs);
  b.Flag(kKeyLimitRecursion, "Limit recursion level:", &O::m_bLimitRecursion);
  b.Edit(kKeyRecursionLevel, "Recursion level", std::to_string(d.m_nRecursionLevel));
  b.Range(0, 100);
  b.When(WhenOn(&O::m_bLimitRecursion));
  b.Flag(kKeySummary, "Display summary", &O::m_bSummary);
  b.Radios({{kKeySummaryTop, "at the top"}, {kKeySummaryBottom, "at the bottom"}},
           d.m_nSummaryPos ? kKeySummaryBottom : kKeySummaryTop, WhenOn(&O::m_bSummary));
  b.Flag(kKeyProgramInfo, "Program information in header", &O::m_bProgramInfoInHeader);
  b.Flag(kKeyAutoWidths, "Auto column widths", &O::m_bAutoColumnWidths);
  b.Flag(kKeyWrapColumns, "Wrap columns", &O::m_bWrapColumns);
  b.Edit(kKeyCsvSeparator, "Separator:", d.m_strCsvSeparator);
  b.When({.outputs = OutputBit(kOutputCsv), .off = &O::m_bCsvTab});
  b.Flag(kKeyCsvTab, "Tab", &O::m_bCsvTab);
}

void AddSortingAndHtml(Builder& b, const CListingOptions& d) {
  b.SortCombo(kKeyFileSort1, "1st sorting column:", true);
  b.SortCombo(kKeyFileSort2, "2nd sorting column:", true);
  b.SortCombo(kKeyFileSort3, "3rd sorting column:", true);
  for (int id : {kKeyFileSortDesc1, kKeyFileSortDesc2, kKeyFileSortDesc3})
    b.Check(id, "Descending", 0);
  b.Add(kKeyColumnOrder, K::kColumnOrder, "Column order");
  b.Radios({{kKeyAlignLeft, "Left"}, {kKeyAlignCenter, "Center"}, {kKeyAlignRight, "Right"}}, 0);
  b.Check(kKeySupersedeId3v1, "Supersede ID3v1 if ID3v2 exists", 0, true);
  b.Radios(
      {{kKeyTextOutput, "Text file"}, {kKeyHtmlOutput, "HTML file"}, {kKeyCsvOutput, "CSV file"}},
      d.m_nOutputType == kOutputHtml  ? kKeyHtmlOutput
      : d.m_nOutputType == kOutputCsv ? kKeyCsvOutput
                                      : kKeyTextOutput);
  b.Flag(kKeyLinksToFiles, "Generate links to files", &O::m_bLinksToFiles);
  b.Flag(kKeyLinksToDirs, "Generate links to dirs", &O::m_bLinksToDirs);
  b.Flag(kKeyFileProtocol, "Put file:// into links", &O::m_bFileProtocolInLinks);
  b.Flag(kKeyLinksInside, "Links to subdirs inside listing", &O::m_bLinksToSubdirsInside);
  b.Edit(kKeyHtmlTitle, "Title:", d.m_strHtmlTitle);
  b.When(kWhenHtml);
  b.Flag(kKeyExternalCss, "Include external CSS:", &O::m_bExternalCss);
  b.Edit(kKeyCssPath, "CSS path", d.m_strCssPath);
  b.When({.outputs = OutputBit(kOutputHtml), .allOn = {&O::m_bExternalCss}});
  b.Combo(kKeyStyleElement,
          "Element:", {"Background", "Header", "Directory", "Even row", "Odd row", "Frame"}, 0);
  b.When(kWhenHtml);
  // The background has no font: the size box needs another element.
  b.Edit(kKeyStyleSize, "Size:", std::to_string(d.m_htmlStyle[0].nSize));
  b.Range(1, 100);
  b.When(kWhenHtml, kKeyStyleElement);
}

void AddFormats(Builder& b, const CListingOptions& d) {
  b.Choice(kKeyDateFormat, "Date format:", {"YYYY-MM-DD", "YYYY-DD-MM", "DD-MM-YYYY", "MM-DD-YYYY"},
           &O::m_nDateFormat);
  b.Choice(kKeyTimeFormat, "Time format:", {"HH:MM", "HH:MM:SS"}, &O::m_nTimeFormat);
  b.Choice(kKeySizeDisplay, "Size display",
           {"Bytes", "Kilobytes", "Megabytes", "Gigabytes", "Dynamic"}, &O::m_nSizeUnit);
  b.Choice(kKeySizePrecision, "Size precision:", {"0", "1", "2", "3", "4"}, &O::m_nSizePrecision);
  b.When(WhenOn(&O::m_nSizeUnit));
  b.Combo(kKeyThousandSep, "Thousand separator:", {"(none)", "(space)", ",", ".", "'"},
          ThousandSeparatorChoice(d.m_chThousandSep));
  b.Combo(kKeyDecimalSep, "Decimal separator:", {".", ","}, d.m_chDecimalSep == "," ? 1 : 0);
  b.When({.allOn = {&O::m_nSizeUnit, &O::m_nSizePrecision}});
  b.Choice(kKeyPathForm,
           "Path:", {"Full", "No drive", "From top-checked dir", "Top-checked is root"},
           &O::m_nPathForm);
  b.SortCombo(kKeyDirSort1, "1st sorting column:", false);
  b.SortCombo(kKeyDirSort2, "2nd sorting column:", false);
  b.SortCombo(kKeyDirSort3, "3rd sorting column:", false);
  for (int id : {kKeyDirSortDesc1, kKeyDirSortDesc2, kKeyDirSortDesc3})
    b.Check(id, "Descending", 0);
  b.Flag(kKeyDrawDirsTree, "Draw dirs tree", &O::m_bDrawDirsTree, true);
}

void AddFilterPage(std::vector<COptionControl>& out, const CListingOptions& d, std::int64_t now) {
  Builder b(out, OptionPage::kFilter, d);
  b.Edit(kKeyMask, "Mask:", d.m_strMask);
  b.Radios({{kKeyDateCreation, "Creation"},
            {kKeyDateLastWrite, "Last write"},
            {kKeyDateLastAccess, "Last access"}},
           kKeyDateCreation + (d.m_nDateKind >= 0 && d.m_nDateKind <= 2 ? d.m_nDateKind : 1));
  b.Flag(kKeyDateAfter, "After:", &O::m_bDateAfter);
  b.Add(kKeyAfterPicker, K::kDatePicker, "After date").m_tMoment = now;
  b.When(WhenOn(&O::m_bDateAfter));
  b.Flag(kKeyDateBefore, "Before:", &O::m_bDateBefore);
  b.Add(kKeyBeforePicker, K::kDatePicker, "Before date").m_tMoment = now;
  b.When(WhenOn(&O::m_bDateBefore));
  b.Flag(kKeySizeMore, "More than:", &O::m_bSizeMore);
  b.Edit(kKeySizeMoreValue, "More than size", std::to_string(d.m_nSizeMore));
  b.Range(0, 1023);
  b.When(WhenOn(&O::m_bSizeMore));
  b.Flag(kKeySizeLess, "Less than:", &O::m_bSizeLess);
  b.Edit(kKeySizeLessValue, "Less than size", std::to_string(d.m_nSizeLess));
  b.Range(0, 1023);
  b.When(WhenOn(&O::m_bSizeLess));
  b.Choice(kKeySizeFilterUnit, "Size unit", {"Bytes", "Kilobytes", "Megabytes", "Gigabytes"},
           &O::m_nSizeFilterUnit);
  b.Flag(kKeyAttrArchive, "Archive", &O::m_nAttrArchive, false, K::kThreeState);
  b.Flag(kKeyAttrHidden, "Hidden", &O::m_nAttrHidden, false, K::kThreeState);
  b.Flag(kKeyAttrReadOnly, "Read only", &O::m_nAttrReadOnly, false, K::kThreeState);
  b.Flag(kKeyAttrCompressed, "Compressed", &O::m_nAttrCompressed, false, K::kThreeState);
  b.Flag(kKeyAttrSystem, "System", &O::m_nAttrSystem, false, K::kThreeState);
}

void AddProgramPageAndTree(std::vector<COptionControl>& out, const CListingOptions& defaults) {
  const CProgramOptions d;
  Builder program(out, OptionPage::kProgram, defaults);
  program.Check(kKeyRemember, "Remember dirs selection", d.m_bRememberSelection);
  program.Check(kKeyShellIntegration, "Enable shell integration", d.m_bShellIntegration);
  program.Check(kKeyAutoRefresh, "Automatically refresh preview", d.m_bAutoRefresh);
  program.Flag(kKeyReuseChecksums, "Reuse checksums of unchanged files from earlier listings",
               &O::m_bReuseChecksums);
  Builder tree(out, OptionPage::kTree, defaults);
  tree.Check(kKeySelectWithSubdirs, "Select &with subdirectories", d.m_bSelectWithSubdirs);
}

}  // namespace

int ThousandSeparatorChoice(const std::string& sep) {
  if (sep.empty()) return 0;
  if (sep == " ") return 1;
  if (sep == ",") return 2;
  if (sep == ".") return 3;
  if (sep == "'") return 4;
  return 1;
}

std::vector<COptionControl> BuildOptionControls(std::int64_t now) {
  const CListingOptions defaults;
  std::vector<COptionControl> controls;
  AddColumnsPage(controls, defaults);
  Builder output(controls, OptionPage::kOutput, defaults);
  AddRowsAndTextOptions(output, defaults);
  AddSortingAndHtml(output, defaults);
  AddFormats(output, defaults);
  AddFilterPage(controls, defaults, now);
  AddProgramPageAndTree(controls, defaults);
  return controls;
}

}  // namespace orvane
