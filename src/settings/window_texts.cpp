#include "settings/window_texts.h"

#include <algorithm>
#include <map>

namespace orvane {
namespace {

using P = OptionPage;

// clang-format off
constexpr WindowTextRow kRows[] = {
  {kTextGroupStandard, "Standard", P::kColumns},
  {kTextGroupExecutable, "Executable info", P::kColumns},
  {kTextGroupHashes, "Hashes", P::kColumns},
  {kTextGroupDocument, "Document properties", P::kColumns},
  {kTextGroupMultimedia, "Multimedia", P::kColumns},
  {kTextGroupMp3, "MP3 info", P::kColumns},
  {kTextWidthHeading, "Width", P::kColumns},
  {kTextGroupDate, "Date", P::kFilter},
  {kTextGroupSize, "Size", P::kFilter},
  {kTextSizeUnit, "Unit:", P::kFilter},
  {kTextAttributeNote, "Attribute boxes: ticked, the attribute must be set; clear, it must be "
                       "clear; filled, either will do.", P::kFilter},
  {kTextGroupProgram, "Program", P::kProgram},
  {kTextShellNote, "Shell integration adds \"Orvane listing\" to the folder menus of Dolphin, "
                   "Files (Nautilus) and Thunar.", P::kProgram},
  {kTextGroupOutputType, "Output type", P::kOutput},
  {kTextGroupRows, "Rows and contents", P::kOutput},
  {kTextGroupFormat, "Format options", P::kOutput},
  {kTextGroupText, "Text options", P::kOutput},
  {kTextGroupCsv, "CSV options", P::kOutput},
  {kTextGroupHtml, "HTML options", P::kOutput},
  {kTextGroupColumnOrder, "Column order", P::kOutput},
  {kTextGroupFileSort, "Files sorting", P::kOutput},
  {kTextGroupDirSort, "Dirs sorting", P::kOutput},
  {kTextColumnHeading, "Column", P::kOutput},
  {kTextAlignmentHeading, "Alignment", P::kOutput},
  {kTextAlignLeft, "Left", P::kOutput},
  {kTextAlignCenter, "Center", P::kOutput},
  {kTextAlignRight, "Right", P::kOutput},
  {kTextOfExecutable, "(executable)", P::kOutput},
  {kTextOfDocument, "(document)", P::kOutput},
  {kTextOfMp3, "(MP3)", P::kOutput},
  {kTextMoveUp, "Move &up", P::kOutput},
  {kTextMoveDown, "Move &down", P::kOutput},
  {kTextRestoreDefault, "&Restore default", P::kOutput},
  {kTextFontButton, "&Font...", P::kOutput},
  {kTextColorButton, "&Color...", P::kOutput},
  {kTextTextColorButton, "Te&xt color...", P::kOutput},
  {kTextSample, "Sample", P::kOutput},
  {kTextTextColorTitle, "Text color", std::nullopt},
  {kTextColorTitle, "Color", std::nullopt},
  {kTextErrorTitle, "Error", std::nullopt},
  {kTextCannotRead, "The file \"%s\" could not be read.", std::nullopt},
  {kTextCannotWrite, "The file \"%s\" could not be written.", std::nullopt},
  {kTextSplitMode, "Move the splitters with the arrow keys; Enter keeps, Esc restores them",
   std::nullopt},
  {kTextHelpMissing, "The help page \"%s\" is missing.", std::nullopt},
  {kTextCannotOpen, "\"%s\" could not be opened: xdg-open could not be started.", std::nullopt},
  {kTextGroupAttributes, "Attributes", P::kFilter},
  {kTextVersion, "Version %s", std::nullopt},
  {kTextCannotPrint, "The listing could not be printed.", std::nullopt},
  {kTextListingNotWritten, "The listing could not be written to \"%s\"", std::nullopt},
  {kTextCannotOpenListing, "The listing could not be opened (xdg-open).", std::nullopt},
  {kTextPasswordTitle, "Network password", std::nullopt},
  // %1 is the user, %2 the server.
  {kTextPasswordPrompt, "Password of %1 on %2:", std::nullopt},
};
// clang-format on

std::map<int, std::string>& Shown() {
  static std::map<int, std::string> shown;
  return shown;
}

}  // namespace

std::span<const WindowTextRow> WindowTextRows() {
  return kRows;
}

std::string WindowText(int id) {
  if (auto it = Shown().find(id); it != Shown().end()) return it->second;
  auto row = std::find_if(std::begin(kRows), std::end(kRows),
                          [id](const WindowTextRow& r) { return r.id == id; });
  return row == std::end(kRows) ? std::string() : std::string(row->text);
}

std::string WindowText(int id, const std::string& value) {
  std::string text = WindowText(id);
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, value);
  return text;
}

void SetWindowText(int id, std::string text) {
  Shown()[id] = std::move(text);
}

void RestoreWindowTexts() {
  Shown().clear();
}

}  // namespace orvane
