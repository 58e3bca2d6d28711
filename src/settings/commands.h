// The main window's commands: their identifiers, menu captions, shortcuts, status-bar texts,
// places on the toolbar and when they can be used. The window builds its menus, toolbar and
// shortcuts from this one table, and the language work can list every menu item from it.
//
// Plain constant data; safe from any thread.
#pragma once

#include <span>
#include <string>

namespace orvane {

enum CommandId : int {
  kCmdSaveListing = 57604,
  kCmdPrintListing = 57607,
  kCmdSendListing = 57612,
  kCmdLoadConfiguration = 32803,
  kCmdSaveConfiguration = 32804,
  kCmdLoadSelection = 32805,
  kCmdSaveSelection = 32806,
  kCmdLoadHtmlStyle = 32818,
  kCmdSaveHtmlStyle = 32819,
  kCmdPrintPreview = 32817,
  kCmdPrintSetup = 57606,
  kCmdCancel = 32799,
  kCmdExit = 57665,
  kCmdCopyListing = 32809,
  kCmdSplit = 57653,
  kCmdRefreshListing = 32793,
  kCmdRefreshDirs = 32791,
  kCmdHelpTopics = 57667,
  kCmdContactSupport = 32797,
  kCmdVisitHomepage = 32801,
  kCmdVisitForum = 32798,
  kCmdAbout = 57664,
  // The preview's column menu.
  kCmdAlignLeft = 32830,
  kCmdAlignCenter = 32831,
  kCmdAlignRight = 32832,
  kCmdMoveLeft = 32833,
  kCmdMoveRight = 32834,
  kCmdRestoreDefault = 32835,
};

// The menus of the menu bar, in their order.
enum class CommandMenu { kFile, kEdit, kView, kHelp };

// When a command can be used.
enum class CommandEnabling {
  kAlways,           // also while a listing is generated
  kIdle,             // only while no listing is generated
  kIdleWithMail,     // only while idle, and only when the desktop can compose e-mail
  kWhileGenerating,  // only while a listing is generated ("Cancel")
};

struct CommandRow {
  int id;
  CommandMenu menu;
  const char* caption;     // with "&" before the access key
  const char* shortcut;    // key sequence in portable form ("Ctrl+S"), "" for none
  int toolbarOrder;        // 1, 2, ... from the left; 0 when not on the toolbar
  const char* statusText;  // "" for none; "%s" stands for the program's name
  CommandEnabling enabling;
  bool separatorBefore;  // a menu separator precedes the item
};

// Every command in menu order.
std::span<const CommandRow> Commands();
// The row of a command, or nullptr.
const CommandRow* FindCommand(int id);
// The status-bar text of a row with the program's name filled in.
std::string CommandStatusText(const CommandRow& row, const std::string& programName);
// Whether a command can be used in this state.
bool CommandEnabled(const CommandRow& row, bool generating, bool mailAvailable);

// The "Quick configuration" popup's title; it precedes "Load configuration" in the File menu.
inline constexpr const char* kQuickConfigurationTitle = "&Quick configuration";
// Toolbar separators follow these places (after send, copy, cancel and homepage).
inline constexpr int kToolbarSeparatorsAfter[] = {3, 4, 6, 8};

// Menu titles in order.
const char* CommandMenuTitle(CommandMenu menu);
// The place of a menu on the menu bar; the language menu sits at kLanguageMenuPosition, after
// "&File".
int CommandMenuPosition(CommandMenu menu);
inline constexpr int kLanguageMenuPosition = 1;
inline constexpr const char* kLanguageMenuTitle = "&Language";

// The items of the HTML preview's column menu, after the item that names the column.
struct ColumnMenuRow {
  int id;
  const char* caption;
  bool separatorBefore;
};
std::span<const ColumnMenuRow> ColumnMenuItems();

}  // namespace orvane
