#include "os/Library.h"

namespace Os {
namespace {

class NoLibraries : public Libraries {
 public:
  LibraryHandle LoadLibrary(const char*) override { return 0; }
  void FreeLibrary(LibraryHandle) override {}
  void* GetProcAddress(LibraryHandle, const char*) override { return nullptr; }
};

NoLibraries hostLibraries;
Libraries* installedLibraries = nullptr;

}  // namespace

Libraries& Libs() { return installedLibraries ? *installedLibraries : hostLibraries; }
void InstallLibraries(Libraries* l) { installedLibraries = l; }

}  // namespace Os
