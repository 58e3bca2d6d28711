#include "platform/window_program.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace orvane {
namespace {

bool Named(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

std::string ExecutableFolder() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  std::string exe(buf, static_cast<std::size_t>(n));
  std::size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

}  // namespace

bool DisplayNamed() {
  return Named("QT_QPA_PLATFORM") || Named("DISPLAY") || Named("WAYLAND_DISPLAY");
}

int RunWindowProgram(char** argv) {
  const std::string dir = ExecutableFolder();
  int error = ENOENT;
  for (const std::string& candidate :
       {dir + "/libexec/orvane/orvane", dir + "/../libexec/orvane/orvane"}) {
    if (dir.empty() || ::access(candidate.c_str(), X_OK) != 0) continue;
    ::execv(candidate.c_str(), argv);
    error = errno;
  }
  std::fprintf(stderr, "orvane: the window program cannot be started: %s\n", std::strerror(error));
  return 2;
}

}  // namespace orvane
