#include "platform/desktop.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace orvane {
namespace {

std::vector<char*> ArgvPointers(const std::vector<std::string>& argv) {
  std::vector<char*> ptrs;
  for (const std::string& a : argv) ptrs.push_back(const_cast<char*>(a.c_str()));
  ptrs.push_back(nullptr);
  return ptrs;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string FindProgram(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    // An empty entry of $PATH means the current folder.
    std::string dir = end > start ? dirs.substr(start, end - start) : std::string(1, '.');
    std::string candidate = dir;
    candidate += '/';
    candidate += name;
    struct stat st;
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = end + 1;
  }
  return {};
}

bool LaunchDetached(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  std::vector<char*> args = ArgvPointers(argv);
  // The grandchild reports a failed exec through a pipe that closes by itself on success.
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  pid_t child = ::fork();
  if (child < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return false;
  }
  if (child == 0) {
    if (::fork() == 0) {
      ::setsid();
      ::execvp(args[0], args.data());
      int err = errno;
      ssize_t ignored = ::write(fds[1], &err, sizeof err);
      (void)ignored;
      ::_exit(127);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  WaitFor(child);
  int err = 0;
  ssize_t n;
  do {
    n = ::read(fds[0], &err, sizeof err);
  } while (n < 0 && errno == EINTR);
  ::close(fds[0]);
  return n == 0;
}

int RunAndWait(const std::vector<std::string>& argv) {
  if (argv.empty()) return -1;
  std::vector<char*> args = ArgvPointers(argv);
  pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  return WaitFor(pid);
}

bool OpenWithDesktop(const std::string& target) {
  if (FindProgram("xdg-open").empty()) return false;
  return LaunchDetached({"xdg-open", target});
}

bool IsMailAvailable() {
  return !FindProgram("xdg-email").empty();
}

bool ComposeMail(const std::string& subject, const std::string& attachment) {
  if (!IsMailAvailable()) return false;
  return RunAndWait({"xdg-email", "--subject", subject, "--attach", attachment}) == 0;
}

}  // namespace orvane
