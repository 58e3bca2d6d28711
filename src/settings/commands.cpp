#include "settings/commands.h"

#include <algorithm>

namespace orvane {
namespace {

using M = CommandMenu;
using E = CommandEnabling;

// clang-format off
constexpr CommandRow kCommands[] = {
  {kCmdSaveListing, M::kFile, "&Save listing...", "Ctrl+S", 1,
   "Generate and save listing to a file", E::kIdle, false},
  {kCmdPrintListing, M::kFile, "&Print listing...", "Ctrl+P", 2,
   "Generate and print listing", E::kIdle, false},
  {kCmdPrintPreview, M::kFile, "Print pre&view", "", 0, "", E::kAlways, false},
  {kCmdPrintSetup, M::kFile, "P&rint Setup...", "", 0,
   "Change the printer and printing options", E::kIdle, false},
  {kCmdSendListing, M::kFile, "S&end listing...", "Ctrl+E", 3,
   "Generate and send listing as e-mail attachment", E::kIdleWithMail, false},
  {kCmdLoadConfiguration, M::kFile, "Load configuration", "", 0,
   "Load options from a file", E::kIdle, true},
  {kCmdSaveConfiguration, M::kFile, "Save configuration", "", 0,
   "Save options to a file", E::kIdle, false},
  {kCmdLoadSelection, M::kFile, "Load dirs selection", "", 0,
   "Load directories selection from a file", E::kIdle, true},
  {kCmdSaveSelection, M::kFile, "Save dirs selection", "", 0,
   "Save directories selection to a file", E::kIdle, false},
  {kCmdLoadHtmlStyle, M::kFile, "Load HTML style", "", 0, "", E::kAlways, true},
  {kCmdSaveHtmlStyle, M::kFile, "Save HTML style", "", 0, "", E::kAlways, false},
  {kCmdCancel, M::kFile, "&Cancel", "", 6, "Cancel listing generation", E::kWhileGenerating,
   true},
  {kCmdExit, M::kFile, "E&xit", "", 9, "Get out of here!", E::kAlways, true},
  {kCmdCopyListing, M::kEdit, "&Copy listing", "", 4,
   "Copy current selection or whole listing (if nothing is selected) to clipboard", E::kIdle,
   false},
  {kCmdSplit, M::kView, "S&plit", "", 0, "Split the active window into panes", E::kAlways, false},
  {kCmdRefreshListing, M::kView, "Refresh listing", "F5", 5, "Refresh the listing", E::kIdle,
   true},
  {kCmdRefreshDirs, M::kView, "Refresh dirs", "F12", 0, "", E::kAlways, false},
  {kCmdHelpTopics, M::kHelp, "&Help Topics", "F1", 7, "List Help topics", E::kAlways, false},
  {kCmdContactSupport, M::kHelp, "&Contact Support", "", 0, "Send e-mail to support team",
   E::kAlways, true},
  {kCmdVisitHomepage, M::kHelp, "&Visit Homepage", "", 8, "Visit %s home page", E::kAlways,
   false},
  {kCmdVisitForum, M::kHelp, "Visit &Forum", "", 0, "Visit %s forum page", E::kAlways, false},
  {kCmdAbout, M::kHelp, "&About Orvane...", "", 0, "About %s", E::kAlways, true},
};

constexpr ColumnMenuRow kColumnMenu[] = {
  {kCmdAlignLeft, "Align to &left", false},
  {kCmdAlignCenter, "&Center", false},
  {kCmdAlignRight, "Align to &right", false},
  {kCmdMoveLeft, "Move l&eft", true},
  {kCmdMoveRight, "Move r&ight", false},
  {kCmdRestoreDefault, "Restore &default", true},
};
// clang-format on

}  // namespace

std::span<const CommandRow> Commands() {
  return kCommands;
}

const CommandRow* FindCommand(int id) {
  auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                         [id](const CommandRow& row) { return row.id == id; });
  return it == std::end(kCommands) ? nullptr : &*it;
}

std::string CommandStatusText(const CommandRow& row, const std::string& programName) {
  std::string text = row.statusText;
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, programName);
  return text;
}

bool CommandEnabled(const CommandRow& row, bool generating, bool mailAvailable) {
  switch (row.enabling) {
    case CommandEnabling::kAlways:
      return true;
    case CommandEnabling::kIdle:
      return !generating;
    case CommandEnabling::kIdleWithMail:
      return !generating && mailAvailable;
    case CommandEnabling::kWhileGenerating:
      return generating;
  }
  return false;
}

const char* CommandMenuTitle(CommandMenu menu) {
  switch (menu) {
    case CommandMenu::kFile:
      return "&File";
    case CommandMenu::kEdit:
      return "&Edit";
    case CommandMenu::kView:
      return "&View";
    case CommandMenu::kHelp:
      return "&Help";
  }
  return "";
}

int CommandMenuPosition(CommandMenu menu) {
  switch (menu) {
    case CommandMenu::kFile:
      return 0;
    case CommandMenu::kEdit:
      return 2;
    case CommandMenu::kView:
      return 3;
    case CommandMenu::kHelp:
      return 4;
  }
  return 0;
}

std::span<const ColumnMenuRow> ColumnMenuItems() {
  return kColumnMenu;
}

}  // namespace orvane
