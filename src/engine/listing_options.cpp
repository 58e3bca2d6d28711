#include "engine/listing_options.h"

#include <ctime>

#include "engine/columns.h"

namespace orvane {
namespace {

// Default text widths of the columns that have a width box of their own.
constexpr int kDefaultWidths[kColumnCount] = {
    0,  0, 0, 0,  0,  0,  0,  0,  0,  0,  0, 0, 8,  8,  15, 20, 15, 15, 20, 20,
    0,  0, 0, 15, 15, 15, 30, 20, 15, 15, 5, 0, 0,  0,  5,  7,  7,  15, 10, 10,
    10, 5, 5, 3,  7,  3,  10, 7,  3,  3,  8, 3, 30, 30, 30, 0,  30, 30,
};

using O = CListingOptions;
constexpr unsigned kHtmlOnly = OutputBit(kOutputHtml);

constexpr EffectiveRule kEffectiveRules[] = {
    {&O::m_bFileCountInDirRow, {.allOn = {&O::m_bDirRows}}},
    {&O::m_bFilesTogether, {.off = &O::m_bDirRows}},
    {&O::m_bSubdirsFirst, {.allOn = {&O::m_bSubdirs}}},
    {&O::m_bSurroundSubdirs, {.allOn = {&O::m_bSubdirs}}},
    {&O::m_bAutoColumnWidths, {.outputs = OutputBit(kOutputText)}},
    {&O::m_bWrapColumns, {.outputs = OutputBit(kOutputText)}},
    {&O::m_bCsvTab, {.outputs = OutputBit(kOutputCsv)}},
    {&O::m_bLinksToFiles, {.outputs = kHtmlOnly}},
    {&O::m_bLinksToDirs, {.outputs = kHtmlOnly}},
    {&O::m_bExternalCss, {.outputs = kHtmlOnly}},
    {&O::m_bFileProtocolInLinks,
     {.outputs = kHtmlOnly, .anyOn = {&O::m_bLinksToFiles, &O::m_bLinksToDirs}}},
    {&O::m_bLinksToSubdirsInside, {.outputs = kHtmlOnly, .allOn = {&O::m_bLinksToFiles}}},
};

}  // namespace

std::span<const EffectiveRule> EffectiveRules() {
  return kEffectiveRules;
}

const EnabledRule* EffectiveRuleOf(OptionFlag flag) {
  for (const EffectiveRule& r : kEffectiveRules) {
    if (r.flag == flag) return &r.when;
  }
  return nullptr;
}

const char* DateFormatPattern(int choice) {
  switch (choice) {
    case 1:
      return "%Y-%d-%m";
    case 2:
      return "%d-%m-%Y";
    case 3:
      return "%m-%d-%Y";
    default:
      return "%Y-%m-%d";
  }
}

CListingOptions::CListingOptions() {
  for (ColumnId id :
       {ColumnId::kExtension, ColumnId::kSize, ColumnId::kLastWrite, ColumnId::kAttributes})
    m_bColumn[id] = 1;
  for (int i = 0; i < kColumnCount; ++i)
    m_nColumnWidth[static_cast<std::size_t>(i)] = kDefaultWidths[i];
  RestoreDefaultOrder();
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  m_tAfter = now;
  m_tBefore = now;
}

void CListingOptions::DeriveFormats() {
  m_strDateFormat = DateFormatPattern(m_nDateFormat);
  m_strTimeFormat = m_nTimeFormat == 1 ? "%H:%M:%S" : "%H:%M";
  m_nTimeWidth = m_nTimeFormat == 1 ? 8 : 5;
}

void CListingOptions::ApplyEffectiveValues() {
  for (const EffectiveRule& r : kEffectiveRules) {
    if (!r.when.HoldsFor(*this)) this->*r.flag = 0;
  }
  if (m_bCsvTab) m_strCsvSeparator = "\t";
}

void CListingOptions::RestoreDefaultOrder() {
  for (ColumnId id : kAllColumns) {
    m_columnOrder[ColumnIndex(id)] = id;
    m_nAlign[id] = ColumnInfo(id).m_nDefaultAlign;
  }
}

}  // namespace orvane
