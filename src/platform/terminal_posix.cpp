#include "platform/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace orvane {

bool StderrIsTerminal() {
  return isatty(STDERR_FILENO) != 0;
}

std::size_t StderrColumns() {
  winsize ws{};
  return ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 ? ws.ws_col : 0;
}

}  // namespace orvane
