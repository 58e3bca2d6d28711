// COvCmdLineInfo: the command line of Orvane.
//
//   orvane [/o config] [/l selection [output]] [/e selection] [/r] [--help] [--version]
//
// An argument that starts with "-" is a switch, and so is one that starts with "/" when the
// rest is one letter (/l), or letters alone that name nothing that exists (/list; /etc or
// /srv stay paths); anything else is a parameter. Only the first letter of a
// switch counts, case-sensitively: o (configuration file), l (list mode), e (mail mode),
// r (remove the selection file afterwards). Parameters go where the last of o, l, e sends them;
// "-" alone is a parameter (as OUTPUT: standard output). Arguments that start with "--" (other
// than --help, --version and --list-columns) are kept for the batch options. Pure; safe from
// any thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/user_folders.h"

namespace orvane {

struct COvCmdLineInfo {
  bool m_bOptionsFile = false;
  bool m_bListMode = false;
  bool m_bMailMode = false;
  bool m_bRemoveSelection = false;
  std::string m_strOptionsFile;
  std::string m_strSelectionFile;
  std::string m_strOutputFile;

  bool m_bHelp = false;
  bool m_bVersion = false;
  bool m_bListColumns = false;
  // "--name" and "--name=value" arguments, in order, for the batch options.
  std::vector<std::string> m_batchOptions;

  // List or mail mode: no window, and the settings are never written.
  bool BatchMode() const { return m_bListMode || m_bMailMode; }
};

// What a path names; the parser asks it about "/word" arguments and selection parameters.
using PathProbe = std::function<PathKind(const std::string&)>;

// The switch text of an argument ("l" for "/l", "list" for "-list"), or false when the
// argument is a parameter. probe may be empty (then nothing is taken to exist).
bool SplitSwitch(const std::string& arg, std::string& text, const PathProbe& probe = nullptr);

// Parses the arguments after the program name. A selection parameter that names a directory
// gets no ".ovs" added.
COvCmdLineInfo ParseCommandLine(const std::vector<std::string>& args, const PathProbe& probe);

// The text printed by --help.
std::string UsageText();

}  // namespace orvane
