// The table of option controls: identifiers, kinds, labels, choices and defaults, in the order
// the pages are walked.
#include "app/option_controls.h"

#include "base/strings.h"
#include "engine/columns.h"

namespace orvane {
namespace {

using K = ControlKind;

class Builder {
 public:
  Builder(std::vector<COptionControl>& out, OptionPage page) : m_out(out), m_page(page) {}

  COptionControl& Add(int id, K kind, std::string label) {
    COptionControl c;
    c.m_nId = id;
    c.m_kind = kind;
    c.m_page = m_page;
    c.m_strLabel = std::move(label);
    m_out.push_back(std::move(c));
    return m_out.back();
  }
  void Check(int id, std::string label, int state, bool hidden = false) {
    Add(id, K::kCheckBox, std::move(label)).m_nValue = state;
    m_out.back().m_bHidden = hidden;
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
  void Radios(std::initializer_list<std::pair<int, const char*>> buttons, int on) {
    const int group = buttons.begin()->first;
    for (const auto& [id, label] : buttons) {
      COptionControl& c = Add(id, K::kRadio, label);
      c.m_nGroup = group;
      c.m_nValue = id == on ? 1 : 0;
    }
  }
  void SortCombo(int id, std::string label, bool files) {
    COptionControl& c = Add(id, K::kCombo, std::move(label));
    c.m_choices.push_back(GetText(5018).empty() ? "Not sorted" : GetText(5018));
    c.m_itemData.push_back(kNotSorted);
    for (int col = 0; col < kColumnCount; ++col) {
      const CColumnInfo& info = ColumnInfo(col);
      if (files ? !info.m_bFileSort : !info.m_bDirSort) continue;
      c.m_choices.push_back(info.m_strName);
      c.m_itemData.push_back(col);
    }
    c.m_nValue = 0;
  }

 private:
  std::vector<COptionControl>& m_out;
  OptionPage m_page;
};

struct ColumnKeys {
  int column, check, width;
};

// Check box and width box of each column, in page order (0 when a column has no width box).
constexpr ColumnKeys kColumnKeys[] = {
    {0, 1366, 0},     {1, 1388, 0},     {2, 1389, 1281},  {3, 1390, 0},     {5, 1391, 1282},
    {6, 1392, 0},     {7, 1215, 0},     {8, 1216, 0},     {9, 1224, 1289},  {10, 1220, 0},
    {11, 1226, 1299}, {12, 1217, 1288}, {13, 1256, 1296}, {14, 1478, 1397}, {15, 1221, 1290},
    {16, 1222, 1291}, {17, 1223, 1292}, {18, 1225, 1293}, {19, 1279, 1294}, {20, 1218, 0},
    {21, 1219, 0},    {22, 1280, 0},    {23, 1228, 1307}, {24, 1231, 1308}, {25, 1227, 1309},
    {26, 1232, 1310}, {27, 1268, 1311}, {28, 1269, 1312}, {29, 1270, 1313}, {30, 1271, 1314},
    {31, 1272, 0},    {32, 1273, 0},    {33, 1274, 0},    {34, 1230, 1317}, {35, 1275, 1318},
    {36, 1276, 1319}, {37, 1277, 1320}, {38, 1229, 1321}, {39, 1278, 1322}, {40, 1245, 1323},
    {41, 1283, 1324}, {42, 1284, 1325}, {43, 1287, 1328}, {44, 1241, 1329}, {45, 1243, 1330},
    {46, 1233, 1331}, {47, 1235, 1332}, {48, 1254, 1333}, {49, 1237, 1334}, {50, 1239, 1335},
    {51, 1393, 1298}, {52, 1394, 1346}, {53, 1395, 1297}, {54, 1259, 1295}, {55, 1260, 0},
    {56, 1261, 1300}, {57, 1262, 1301},
};

void AddColumnsPage(std::vector<COptionControl>& out, const CListingOptions& d) {
  Builder b(out, OptionPage::kColumns);
  for (const ColumnKeys& k : kColumnKeys) {
    const auto col = static_cast<std::size_t>(k.column);
    b.Check(k.check, ColumnLabel(k.column), k.column == kColName ? 1 : d.m_bColumn[col]);
    if (!k.width) continue;
    int width = d.m_nColumnWidth[col];
    if (k.column == kColName) width = d.m_nNameWidth;
    if (k.column == kColSize) width = d.m_nSizeWidth;
    if (k.column == kColType) width = d.m_nTypeWidth;
    if (k.column == kColOwner) width = d.m_nOwnerWidth;
    b.Edit(k.width, std::string(ColumnLabel(k.column)) + " width", std::to_string(width));
  }
  for (int i = 0; i < kHiddenTagCount; ++i) {
    const auto& t = kHiddenTagKeys[i];
    b.Check(t.check, t.label, d.m_bHiddenTag[static_cast<std::size_t>(i)], true);
    b.Edit(t.width, std::string(t.label) + " width",
           std::to_string(d.m_nHiddenTagWidth[static_cast<std::size_t>(i)]), true);
  }
}

void AddOutputPage(std::vector<COptionControl>& out, const CListingOptions& d) {
  Builder b(out, OptionPage::kOutput);
  b.Check(1402, "Directory rows", d.m_bDirRows);
  b.Check(1407, "File rows", d.m_bFileRows);
  b.Check(1396, "Subdirs", d.m_bSubdirs);
  b.Check(1427, "Subdirs in front of files", d.m_bSubdirsFirst);
  b.Check(1412, "Surround subdirs with <>", d.m_bSurroundSubdirs);
  b.Check(1403, "File count in directory row", d.m_bFileCountInDirRow);
  b.Check(1425, "Files treated all together", d.m_bFilesTogether);
  b.Check(1441, "Show time in date columns", d.m_bShowTimeInDates);
  b.Check(1415, "Column names in header", d.m_bColumnNamesInHeader);
  b.Check(1426, "Listing in each dir", d.m_bListingInEachDir);
  b.Edit(1451, "Listing name:", d.m_strListingName);
  b.Combo(1490, "Encoding:", {"ANSI", "UTF-8", "UTF-16"}, d.m_nEncoding);
  b.Check(1522, "Hide empty dirs", d.m_bHideEmptyDirs);
  b.Check(1518, "Treat archives as directories", d.m_bArchivesAsDirs);
  b.Check(1525, "Limit recursion level:", d.m_bLimitRecursion);
  b.Edit(1450, "Recursion level", std::to_string(d.m_nRecursionLevel));
  b.Check(1514, "Display summary", d.m_bSummary);
  b.Radios({{1515, "at the top"}, {1516, "at the bottom"}}, d.m_nSummaryPos ? 1516 : 1515);
  b.Check(1519, "Program information in header", d.m_bProgramInfoInHeader);
  b.Check(1520, "Auto column widths", d.m_bAutoColumnWidths);
  b.Check(1521, "Wrap columns", d.m_bWrapColumns);
  b.Edit(1424, "Separator:", d.m_strCsvSeparator);
  b.Check(1459, "Tab", d.m_bCsvTab);
  b.SortCombo(1246, "1st sorting column:", true);
  b.SortCombo(1247, "2nd sorting column:", true);
  b.SortCombo(1248, "3rd sorting column:", true);
  b.Check(1212, "Descending", 0);
  b.Check(1213, "Descending", 0);
  b.Check(1214, "Descending", 0);
  b.Add(1442, K::kColumnOrder, "Column order");
  b.Radios({{1446, "Left"}, {1447, "Center"}, {1448, "Right"}}, 0);
  b.Check(1406, "Supersede ID3v1 if ID3v2 exists", 0, true);
  b.Radios({{1411, "Text file"}, {1413, "HTML file"}, {1414, "CSV file"}},
           d.m_nOutputType == kOutputHtml  ? 1413
           : d.m_nOutputType == kOutputCsv ? 1414
                                           : 1411);
  b.Check(1416, "Generate links to files", d.m_bLinksToFiles);
  b.Check(1417, "Generate links to dirs", d.m_bLinksToDirs);
  b.Check(1418, "Put file:// into links", d.m_bFileProtocolInLinks);
  b.Check(1523, "Links to subdirs inside listing", d.m_bLinksToSubdirsInside);
  b.Edit(1420, "Title:", d.m_strHtmlTitle);
  b.Check(1421, "Include external CSS:", d.m_bExternalCss);
  b.Edit(1422, "CSS path", d.m_strCssPath);
  b.Combo(1251, "Element:", {"Background", "Header", "Directory", "Even row", "Odd row", "Frame"},
          0);
  b.Edit(1436, "Size:", std::to_string(d.m_htmlStyle[0].nSize));
  b.Combo(1234, "Date format:", {"YYYY-MM-DD", "YYYY-DD-MM", "DD-MM-YYYY", "MM-DD-YYYY"},
          d.m_nDateFormat);
  b.Combo(1236, "Time format:", {"HH:MM", "HH:MM:SS"}, d.m_nTimeFormat);
  b.Combo(1249, "Size display", {"Bytes", "Kilobytes", "Megabytes", "Gigabytes", "Dynamic"},
          d.m_nSizeUnit);
  b.Combo(1250, "Size precision:", {"0", "1", "2", "3", "4"}, d.m_nSizePrecision);
  b.Combo(1252, "Thousand separator:", {"(none)", "(space)", ",", ".", "'"},
          ThousandSeparatorChoice(d.m_chThousandSep));
  b.Combo(1253, "Decimal separator:", {".", ","}, d.m_chDecimalSep == "," ? 1 : 0);
  b.Combo(1238, "Path:", {"Full", "No drive", "From top-checked dir", "Top-checked is root"},
          d.m_nPathForm);
  b.SortCombo(1240, "1st sorting column:", false);
  b.SortCombo(1242, "2nd sorting column:", false);
  b.SortCombo(1244, "3rd sorting column:", false);
  b.Check(1209, "Descending", 0);
  b.Check(1210, "Descending", 0);
  b.Check(1211, "Descending", 0);
  b.Check(1524, "Draw dirs tree", d.m_bDrawDirsTree, true);
}

void AddFilterPage(std::vector<COptionControl>& out, const CListingOptions& d, std::int64_t now) {
  Builder b(out, OptionPage::kFilter);
  b.Edit(1410, "Mask:", d.m_strMask);
  b.Radios({{1495, "Creation"}, {1496, "Last write"}, {1497, "Last access"}},
           1495 + (d.m_nDateKind >= 0 && d.m_nDateKind <= 2 ? d.m_nDateKind : 1));
  b.Check(1512, "After:", d.m_bDateAfter);
  b.Add(1494, K::kDatePicker, "After date").m_tMoment = now;
  b.Check(1513, "Before:", d.m_bDateBefore);
  b.Add(1498, K::kDatePicker, "Before date").m_tMoment = now;
  b.Check(1499, "More than:", d.m_bSizeMore);
  b.Edit(1316, "More than size", std::to_string(d.m_nSizeMore));
  b.Check(1500, "Less than:", d.m_bSizeLess);
  b.Edit(1507, "Less than size", std::to_string(d.m_nSizeLess));
  b.Combo(1501, "Size unit", {"Bytes", "Kilobytes", "Megabytes", "Gigabytes"}, d.m_nSizeFilterUnit);
  for (auto [id, label] : {std::pair{1502, "Archive"},
                           {1504, "Hidden"},
                           {1505, "Read only"},
                           {1503, "Compressed"},
                           {1506, "System"}})
    b.Add(id, K::kThreeState, label).m_nValue = 2;
}

void AddProgramPageAndTree(std::vector<COptionControl>& out) {
  const CProgramOptions d;
  Builder program(out, OptionPage::kProgram);
  program.Check(1257, "Remember dirs selection", d.m_bRememberSelection);
  program.Check(1258, "Enable shell integration", d.m_bShellIntegration);
  program.Check(1477, "Automatically refresh preview", d.m_bAutoRefresh);
  Builder tree(out, OptionPage::kTree);
  tree.Check(1208, "Select &with subdirectories", d.m_bSelectWithSubdirs);
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

int ColumnOfCheckKey(int key) {
  for (const ColumnKeys& k : kColumnKeys) {
    if (k.check == key) return k.column;
  }
  return -1;
}

int ColumnOfWidthKey(int key) {
  for (const ColumnKeys& k : kColumnKeys) {
    if (k.width && k.width == key) return k.column;
  }
  return -1;
}

std::vector<COptionControl> BuildOptionControls(std::int64_t now) {
  const CListingOptions defaults;
  std::vector<COptionControl> controls;
  AddColumnsPage(controls, defaults);
  AddOutputPage(controls, defaults);
  AddFilterPage(controls, defaults, now);
  AddProgramPageAndTree(controls);
  return controls;
}

}  // namespace orvane
