// The window's own texts that belong to no option control and no command: the titles of the
// pages' groups, static labels and notes, the column order list's headings, the style editor's
// buttons and the messages of the window's file commands.
//
// Each text has an identifier of its own (2101 and up, beside the controls' identifiers and
// outside the range whose edits refresh the preview), so Reference.ini lists it as the
// "Caption" of its section and a language file translates it like any other text. The window
// reads them with WindowText() whenever it shows one; a language load replaces them with
// SetWindowText(). User-interface thread (or start-up) only.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "settings/option_pages.h"

namespace orvane {

enum WindowTextId : int {
  kTextGroupStandard = 2101,
  kTextGroupExecutable,
  kTextGroupHashes,
  kTextGroupDocument,
  kTextGroupMultimedia,
  kTextGroupMp3,
  kTextWidthHeading,
  kTextGroupDate,
  kTextGroupSize,
  kTextSizeUnit,
  kTextAttributeNote,
  kTextGroupProgram,
  kTextShellNote,
  kTextGroupOutputType,
  kTextGroupRows,
  kTextGroupFormat,
  kTextGroupText,
  kTextGroupCsv,
  kTextGroupHtml,
  kTextGroupColumnOrder,
  kTextGroupFileSort,
  kTextGroupDirSort,
  kTextColumnHeading,
  kTextAlignmentHeading,
  kTextAlignLeft,
  kTextAlignCenter,
  kTextAlignRight,
  kTextOfExecutable,
  kTextOfDocument,
  kTextOfMp3,
  kTextMoveUp,
  kTextMoveDown,
  kTextRestoreDefault,
  kTextFontButton,
  kTextColorButton,
  kTextTextColorButton,
  kTextSample,
  kTextTextColorTitle,
  kTextColorTitle,
  kTextErrorTitle,
  kTextCannotRead,
  kTextCannotWrite,
  kTextSplitMode,
  kTextHelpMissing,
  kTextCannotOpen,
  kTextGroupAttributes,
  kTextVersion,
  kTextCannotPrint,
  kTextListingNotWritten,
  kTextCannotOpenListing,
  kTextPasswordTitle,
  kTextPasswordPrompt,
};

struct WindowTextRow {
  int id;
  const char* text;                // English; "%s" stands for a file name or address
  std::optional<OptionPage> page;  // the page it is shown on (its access key must be unique)
};

// Every text of the table, by identifier.
std::span<const WindowTextRow> WindowTextRows();
// The text now shown for id (the English one until a language replaces it); "" for an unknown
// identifier.
std::string WindowText(int id);
// The text with its "%s" replaced by value.
std::string WindowText(int id, const std::string& value);
void SetWindowText(int id, std::string text);
// Puts every English text back.
void RestoreWindowTexts();

}  // namespace orvane
