// WriterOptions: the choices of a listing that its writers read (output type, encoding, header
// and summary lines, link and style choices of HTML, the CSV separator). The engine makes them
// from the listing options for each file it writes; plain data, copied freely.
#pragma once

#include <string>

#include "writers/html_style.h"

namespace orvane {

enum OutputType : int { kOutputText = 0, kOutputHtml = 1, kOutputCsv = 2 };
enum Encoding : int { kEncodingAnsi = 0, kEncodingUtf8 = 1, kEncodingUtf16 = 2 };
enum PathForm : int { kPathFull = 0, kPathNoDrive = 1, kPathFromTop = 2, kPathTopIsRoot = 3 };

struct WriterOptions {
  int m_nOutputType = kOutputText;
  int m_nEncoding = kEncodingUtf8;
  int m_nPathForm = kPathFull;
  int m_bSurroundSubdirs = 1;
  int m_bColumnNamesInHeader = 1;
  int m_bSummary = 0;
  int m_nSummaryPos = 0;  // 0 top, 1 bottom
  int m_bProgramInfoInHeader = 1;
  std::string m_strDateFormat = "%Y-%m-%d";  // of the generation time in the header
  std::string m_strTimeFormat = "%H:%M";

  // Text.
  int m_bAutoColumnWidths = 0;
  int m_bWrapColumns = 0;

  // CSV.
  std::string m_strCsvSeparator = ";";

  // HTML.
  int m_bLinksToFiles = 0;
  int m_bLinksToDirs = 0;
  int m_bFileProtocolInLinks = 0;
  int m_bLinksToSubdirsInside = 0;
  std::string m_strHtmlTitle = "Orvane v1.0 listing";
  int m_bExternalCss = 0;
  std::string m_strCssPath;
  CHtmlStyleSet m_htmlStyle;
};

}  // namespace orvane
