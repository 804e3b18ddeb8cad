// The program folder: the executable's folder unless the program sets another.
#include "os/Process.h"

#include <unistd.h>
#include <cstdio>
#include <mutex>

namespace Os {
namespace {

std::string ExecutableFolder() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "./";
  std::string path(buffer, size_t(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string& Folder() {
  static std::string folder = ExecutableFolder();
  return folder;
}

}  // namespace

const std::string& ProgramFolder() { return Folder(); }

void SetProgramFolder(const std::string& folder) {
  if (folder.empty()) {
    Folder() = ExecutableFolder();
    return;
  }
  Folder() = folder;
  if (Folder().back() != '/') Folder() += '/';
}

void Say(const std::string& text) {
  // One call writes the whole line, so lines of several threads never mix.
  const std::string line = text + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void Warn(const std::string& text) { Say("duskmire: " + text); }

}  // namespace Os
