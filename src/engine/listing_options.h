// CListingOptions: every choice that shapes a listing, with its default.
//
// The option pages (or the configuration files and the command line, through them) fill the
// record; the generator, the column formatting, sorting, the filter and the writers only read it.
// It is copied into the engine while no generation runs, so it needs no lock.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "base/column_ids.h"
#include "writers/writer_options.h"

namespace orvane {

inline constexpr int kNotSorted = 999;

enum SizeUnit : int { kBytes = 0, kKilobytes = 1, kMegabytes = 2, kGigabytes = 3, kDynamic = 4 };

// Hidden tag fields: flags and widths kept with the options, shown by no column.
inline constexpr int kHiddenTagCount = 5;

struct CListingOptions {
  CListingOptions();

  // Displayed columns.
  ColumnArray<int> m_bColumn{};  // index 2 unused (Name always shown), 4 unused
  int m_nNameWidth = 60;
  int m_nSizeWidth = 14;
  int m_nTypeWidth = 30;
  int m_nOwnerWidth = 30;
  ColumnArray<int> m_nColumnWidth{};
  std::array<int, kHiddenTagCount> m_bHiddenTag{};
  std::array<int, kHiddenTagCount> m_nHiddenTagWidth{30, 30, 30, 30, 30};

  // Column order and alignment.
  std::array<ColumnId, kColumnCount> m_columnOrder{};
  ColumnArray<int> m_nAlign{};

  // Output type, encoding and rows.
  int m_nOutputType = kOutputText;
  int m_nEncoding = kEncodingUtf8;
  int m_bDirRows = 1;
  int m_bFileRows = 1;
  int m_bSubdirs = 1;
  int m_bSubdirsFirst = 1;
  int m_bSurroundSubdirs = 1;
  int m_bFileCountInDirRow = 1;
  int m_bFilesTogether = 0;
  int m_bShowTimeInDates = 1;
  int m_bColumnNamesInHeader = 1;
  int m_bListingInEachDir = 0;
  std::string m_strListingName = "_thisdir";
  int m_bHideEmptyDirs = 0;
  int m_bArchivesAsDirs = 0;
  int m_bLimitRecursion = 0;
  int m_nRecursionLevel = 0;
  int m_bSummary = 0;
  int m_nSummaryPos = 0;
  int m_bProgramInfoInHeader = 1;
  int m_bDrawDirsTree = 0;

  // Formats (page choices and the values derived from them).
  int m_nDateFormat = 0;
  std::string m_strDateFormat = "%Y-%m-%d";
  int m_nTimeFormat = 0;
  std::string m_strTimeFormat = "%H:%M";
  int m_nTimeWidth = 5;
  int m_nSizeUnit = kBytes;
  int m_nSizePrecision = 0;
  std::string m_chThousandSep = " ";
  std::string m_chDecimalSep = ".";
  int m_nPathForm = kPathFull;

  // Text options.
  int m_bAutoColumnWidths = 0;
  int m_bWrapColumns = 0;

  // CSV options.
  std::string m_strCsvSeparator = ";";
  int m_bCsvTab = 0;

  // HTML options.
  int m_bLinksToFiles = 0;
  int m_bLinksToDirs = 0;
  int m_bFileProtocolInLinks = 0;
  int m_bLinksToSubdirsInside = 0;
  std::string m_strHtmlTitle = "Orvane v1.0 listing";
  int m_bExternalCss = 0;
  std::string m_strCssPath;
  CHtmlStyleSet m_htmlStyle;

  // Sorting.
  std::array<int, 3> m_nFileSortKey{kNotSorted, kNotSorted, kNotSorted};
  std::array<int, 3> m_bFileSortDesc{};
  std::array<int, 3> m_nDirSortKey{kNotSorted, kNotSorted, kNotSorted};
  std::array<int, 3> m_bDirSortDesc{};

  // Filter.
  std::string m_strMask = "*.*";
  int m_nDateKind = 1;
  int m_bDateAfter = 0;
  std::int64_t m_tAfter = 0;
  int m_bDateBefore = 0;
  std::int64_t m_tBefore = 0;
  int m_bSizeMore = 0;
  int m_nSizeMore = 0;
  int m_bSizeLess = 0;
  int m_nSizeLess = 1;
  int m_nSizeFilterUnit = 0;
  int m_nAttrArchive = 2;
  int m_nAttrHidden = 2;
  int m_nAttrReadOnly = 2;
  int m_nAttrCompressed = 2;
  int m_nAttrSystem = 2;

  // Program options: the checksums of files unchanged since an earlier listing are taken from
  // the per-user cache instead of reading the files again (off: every byte is read each time).
  int m_bReuseChecksums = 0;

  // Whether a column is shown (Name always; File count through its own flag).
  bool IsShown(ColumnId id) const {
    if (id == ColumnId::kName) return true;
    if (id == ColumnId::kCount) return m_bFileCountInDirRow != 0;
    return m_bColumn[id] != 0;
  }
  // Text width of a date column (also the Year column).
  int DateWidth() const { return m_bShowTimeInDates ? m_nTimeWidth + 11 : 10; }

  // Recomputes the derived format fields from the page choices: date and time patterns, the
  // time width.
  void DeriveFormats();
  // Applies the effective-value rules: a flag whose control is disabled is stored as 0.
  void ApplyEffectiveValues();
  // The default column order (0..57) and the catalogue's default alignments.
  void RestoreDefaultOrder();
};

// A flag or choice of the options, as the rules below name it.
using OptionFlag = int CListingOptions::*;

// The bit of an output type in EnabledRule::outputs (0 for a type that does not exist).
inline constexpr unsigned OutputBit(int type) {
  return type >= kOutputText && type <= kOutputCsv ? 1u << type : 0u;
}
inline constexpr unsigned kEveryOutput =
    OutputBit(kOutputText) | OutputBit(kOutputHtml) | OutputBit(kOutputCsv);

// When a choice can be made, and so when it counts: every part must hold. A flag or choice is
// on when its value is not 0. The option pages enable their controls by these rules, and
// ApplyEffectiveValues stores a flag whose rule does not hold as 0, so the two cannot disagree.
struct EnabledRule {
  unsigned outputs = kEveryOutput;    // the output types (OutputBit) it applies to; 0: never
  std::array<OptionFlag, 2> allOn{};  // each one given must be on
  std::array<OptionFlag, 2> anyOn{};  // when one is given, at least one must be on
  OptionFlag off = nullptr;           // when given, must be off

  // Whether the rule holds for the values value(flag) gives; value(&CListingOptions::
  // m_nOutputType) is the output type.
  template <class Value>
  bool Holds(const Value& value) const {
    if (outputs != kEveryOutput &&
        (outputs & OutputBit(value(&CListingOptions::m_nOutputType))) == 0)
      return false;
    for (OptionFlag f : allOn)
      if (f && value(f) == 0) return false;
    if (anyOn[0] && value(anyOn[0]) == 0 && !(anyOn[1] && value(anyOn[1]) != 0)) return false;
    return !off || value(off) == 0;
  }
  // The rule read from the options themselves.
  bool HoldsFor(const CListingOptions& o) const {
    return Holds([&o](OptionFlag f) { return o.*f; });
  }
};

// A flag that counts only while its rule holds.
struct EffectiveRule {
  OptionFlag flag;
  EnabledRule when;
};

// Every such flag, in the order ApplyEffectiveValues applies them (a rule may read a flag an
// earlier rule has cleared).
std::span<const EffectiveRule> EffectiveRules();
// The rule of a flag, or nullptr when the flag always counts.
const EnabledRule* EffectiveRuleOf(OptionFlag flag);

// Date pattern for a date-format choice ("%Y-%m-%d" for any unknown choice).
const char* DateFormatPattern(int choice);

}  // namespace orvane
