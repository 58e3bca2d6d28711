#include "app/command_line.h"

#include "platform/net_provider.h"

namespace orvane {
namespace {

enum class State { kNone, kAfterO, kAfterL, kAfterE };

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Notes a switch ("o", "l", "e", "r"; others are ignored); returns the state for the parameters
// that follow it.
State TakeSwitch(const std::string& text, State state, COvCmdLineInfo& info) {
  switch (text.empty() ? '\0' : text[0]) {
    case 'o':
      info.m_bOptionsFile = true;
      return State::kAfterO;
    case 'l':
      info.m_bListMode = true;
      return State::kAfterL;
    case 'e':
      info.m_bMailMode = true;
      return State::kAfterE;
    case 'r':
      info.m_bRemoveSelection = true;
      return state;
    default:
      return state;
  }
}

// A parameter: the configuration after /o, the selection and then the output after /l or /e.
void TakeParameter(const std::string& arg, State state, const PathProbe& probe,
                   COvCmdLineInfo& info) {
  switch (state) {
    case State::kNone:
      break;
    case State::kAfterO:
      info.m_strOptionsFile = arg;
      if (arg.find('.') == std::string::npos) info.m_strOptionsFile += ".ovc";
      break;
    case State::kAfterL:
    case State::kAfterE:
      if (info.m_strSelectionFile.empty()) {
        info.m_strSelectionFile = arg;
        const bool isDirectory =
            IsNetworkPath(arg) || (probe && probe(arg) == PathKind::kDirectory);
        if (arg.find('.') == std::string::npos && !isDirectory) info.m_strSelectionFile += ".ovs";
      } else {
        info.m_strOutputFile = arg;
      }
      break;
  }
}

}  // namespace

bool SplitSwitch(const std::string& arg, std::string& text, const PathProbe& probe) {
  if (arg.empty() || arg == "-") return false;
  if (arg[0] == '-') {
    text = arg.substr(1);
    return true;
  }
  if (arg[0] != '/' || arg.size() < 2) return false;
  for (std::size_t i = 1; i < arg.size(); ++i) {
    if (!IsAsciiLetter(arg[i])) return false;
  }
  // A single letter is always a switch; a longer word is a path when such a path exists (/etc).
  if (probe && arg.size() > 2 && probe(arg) != PathKind::kMissing) return false;
  text = arg.substr(1);
  return true;
}

COvCmdLineInfo ParseCommandLine(const std::vector<std::string>& args, const PathProbe& probe) {
  COvCmdLineInfo info;
  State state = State::kNone;
  for (const std::string& arg : args) {
    if (arg == "--help") {
      info.m_bHelp = true;
    } else if (arg == "--version") {
      info.m_bVersion = true;
    } else if (arg == "--list-columns") {
      info.m_bListColumns = true;
    } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      info.m_batchOptions.push_back(arg);
    } else if (std::string text; SplitSwitch(arg, text, probe)) {
      state = TakeSwitch(text, state, info);
    } else {
      TakeParameter(arg, state, probe, info);
    }
  }
  return info;
}

std::string UsageText() {
  return "Usage: orvane [/o CONFIG] [/l SELECTION [OUTPUT]] [/e SELECTION] [/r] [OPTION]...\n"
         "\n"
         "Without switches Orvane starts its window.\n"
         "\n"
         "  /o CONFIG     load the configuration file CONFIG (\".ovc\" is added when the name\n"
         "                holds no \".\") instead of the settings file\n"
         "  /l SELECTION [OUTPUT]\n"
         "                list the directories of the selection file SELECTION (\".ovs\" is\n"
         "                added when the name holds no \".\"), or the directory SELECTION with\n"
         "                its subdirectories, and save the listing to OUTPUT (\"-\" for\n"
         "                standard output); without OUTPUT the window opens minimised and\n"
         "                asks where to save it, then ends\n"
         "  /e SELECTION  list as with /l and hand the listing to the mail program\n"
         "                (xdg-email) as an attachment\n"
         "  /r            with /l and no OUTPUT: remove the selection file afterwards\n"
         "  --help        show this text\n"
         "  --version     show the version\n"
         "\n"
         "Switches may also start with \"-\" (-l). An argument starting with \"/\" is a switch\n"
         "when the rest is one letter, or letters alone that name no existing file or\n"
         "folder, so absolute paths such as /srv are parameters.\n"
         "A quick configuration of the program's folder can be named without its path.\n"
         "SELECTION may be a network share: smb://server/share/folder or \\\\server\\share.\n"
         "The SMB account is set in smb.conf of ~/.config/Brenmoor/Orvane/; its password is\n"
         "read from the environment variable ORVANE_SMB_PASSWORD (or the Secret Service).\n"
         "\n"
         "Exit status: 0 when the listing was written (and handed to the mail program),\n"
         "1 when it could not be written, was cancelled or could not be mailed, 2 for a\n"
         "command line that cannot be run. /l without OUTPUT: 0 when the listing was saved,\n"
         "1 when the save dialog was cancelled, the listing could not be written or the\n"
         "window was closed before it was saved, 2 without a display.\n";
}

}  // namespace orvane
