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

}  // namespace

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
  for (int id : {kColExtension, kColSize, kColLastWrite, kColAttributes})
    m_bColumn[static_cast<std::size_t>(id)] = 1;
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
  if (!m_bDirRows) m_bFileCountInDirRow = 0;
  if (m_bDirRows) m_bFilesTogether = 0;
  if (!m_bSubdirs) m_bSubdirsFirst = 0, m_bSurroundSubdirs = 0;
  if (m_nOutputType != kOutputText) m_bAutoColumnWidths = 0, m_bWrapColumns = 0;
  if (m_nOutputType != kOutputCsv) m_bCsvTab = 0;
  if (m_bCsvTab) m_strCsvSeparator = "\t";
  if (m_nOutputType != kOutputHtml) m_bLinksToFiles = 0, m_bLinksToDirs = 0, m_bExternalCss = 0;
  if (m_nOutputType != kOutputHtml || !(m_bLinksToFiles || m_bLinksToDirs))
    m_bFileProtocolInLinks = 0;
  if (m_nOutputType != kOutputHtml || !m_bLinksToFiles) m_bLinksToSubdirsInside = 0;
}

void CListingOptions::RestoreDefaultOrder() {
  for (int i = 0; i < kColumnCount; ++i) {
    m_columnOrder[static_cast<std::size_t>(i)] = i;
    m_nAlign[static_cast<std::size_t>(i)] = ColumnInfo(i).m_nDefaultAlign;
  }
}

}  // namespace orvane
