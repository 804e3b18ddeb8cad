// The host registry: a text file read when first used and rewritten whole (temporary file, then rename)
// after every change.
#include "os/host/HostRegistry.h"

#include "os/headless/MemoryRegistry.h"

#include <sys/stat.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace Os {
namespace {

std::string DefaultRegistryFile() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (xdg && *xdg) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && *home ? home : ".") + "/.config";
  }
  return base + "/duskmire/registry";
}

std::string& FilePath() {
  static std::string path;
  return path;
}

void MakeParents(const std::string& path) {
  for (size_t i = 1; i < path.size(); ++i) {
    if (path[i] == '/') ::mkdir(path.substr(0, i).c_str(), 0755);
  }
}

class FileRegistry : public Registry {
 public:
  RegKey CreateKey(RegistryRoot root, const char* path) override {
    std::lock_guard lock(mutex_);
    LoadIfNeeded();
    return memory_.CreateKey(root, path);
  }
  void CloseKey(RegKey key) override {
    std::lock_guard lock(mutex_);
    memory_.CloseKey(key);
  }
  bool QueryDword(RegKey key, const char* name, u32* value) override {
    std::lock_guard lock(mutex_);
    return memory_.QueryDword(key, name, value);
  }
  bool SetDword(RegKey key, const char* name, u32 value) override {
    std::lock_guard lock(mutex_);
    if (!memory_.SetDword(key, name, value)) return false;
    memory_.ClearLog();
    return Save();
  }

 private:
  void LoadIfNeeded() {
    const std::string& path = RegistryFile();
    if (path == loadedFrom_) return;
    loadedFrom_ = path;
    memory_.Clear();
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return;
    char line[1024];
    while (std::fgets(line, sizeof line, f)) {
      char* eq = std::strrchr(line, '=');
      if (!eq) continue;
      *eq = 0;
      char* end = nullptr;
      unsigned long v = std::strtoul(eq + 1, &end, 0);
      if (end == eq + 1) continue;
      memory_.Put(line, u32(v));
    }
    std::fclose(f);
  }

  bool Save() {
    const std::string& path = loadedFrom_;
    MakeParents(path);
    std::string temp = path + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "w");
    if (!f) return false;
    bool ok = true;
    for (const auto& [name, value] : memory_.Values()) ok = ok && std::fprintf(f, "%s=%u\n", name.c_str(), value) > 0;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
      std::remove(temp.c_str());
      return false;
    }
    return true;
  }

  std::mutex mutex_;
  MemoryRegistry memory_;
  std::string loadedFrom_ = "\n";  // never a real path: forces the first load
};

FileRegistry hostRegistry;
Registry* installedRegistry = nullptr;

}  // namespace

void SetRegistryFile(const std::string& path) { FilePath() = path; }

const std::string& RegistryFile() {
  static std::string fallback;
  if (!FilePath().empty()) return FilePath();
  fallback = DefaultRegistryFile();
  return fallback;
}

Registry& Reg() { return installedRegistry ? *installedRegistry : hostRegistry; }
void InstallRegistry(Registry* r) { installedRegistry = r; }

}  // namespace Os
