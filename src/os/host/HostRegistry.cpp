// The host registry: a text file read when first used and rewritten whole, in one atomic step, once per
// batch of sets that changed a value.
#include "os/host/HostRegistry.h"

#include "os/Files.h"
#include "os/Process.h"
#include "os/headless/MemoryRegistry.h"

#include <sys/stat.h>
#include <cstdlib>
#include <mutex>

namespace Os {
namespace {

// A settings file is a few kilobytes; anything this large is not one.
constexpr u64 kMaxSettingsBytes = 4u << 20;
// Characters of one line before its newline.
constexpr size_t kMaxLine = 1023;

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

// "<name>=<decimal>": false for a line that would not read back as it was written (too long, no name, a
// value that is not a decimal number of 32 bits, a zero byte).
bool ParseLine(const char* line, size_t length, std::string* name, u32* value) {
  if (length > kMaxLine) return false;
  size_t eq = length;
  for (size_t i = 0; i < length; ++i) {
    if (line[i] == 0) return false;
    if (line[i] == '=') eq = i;
  }
  if (eq == 0 || eq + 1 >= length || length - eq - 1 > 10) return false;
  u64 v = 0;
  for (size_t i = eq + 1; i < length; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
    v = v * 10 + u64(line[i] - '0');
  }
  if (v > 0xFFFFFFFFull) return false;
  name->assign(line, eq);
  *value = u32(v);
  return true;
}

// Whether every value of this name can be written as a line that reads back.
bool Storable(const std::string& fullName) {
  if (fullName.empty() || fullName.size() + 1 + 10 > kMaxLine) return false;
  for (char c : fullName)
    if (c == '\n' || c == '\r' || c == 0) return false;
  return true;
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
    const std::string full = memory_.FullName(key, name);
    if (!Storable(full)) return false;
    u32 old = 0;
    if (memory_.QueryDword(key, name, &old) && old == value) return true;  // unchanged: nothing to write
    if (!memory_.SetDword(key, name, value)) return false;
    memory_.ClearLog();
    dirty_ = true;
    return batch_ > 0 || Flush();
  }
  void BeginBatch() override {
    std::lock_guard lock(mutex_);
    ++batch_;
  }
  void EndBatch() override {
    std::lock_guard lock(mutex_);
    if (batch_ > 0 && --batch_ == 0) Flush();
  }

 private:
  void LoadIfNeeded() {
    const std::string& path = RegistryFile();
    if (path == loadedFrom_) return;
    loadedFrom_ = path;
    memory_.Clear();
    dirty_ = false;
    readable_ = true;
    warned_ = false;
    std::vector<u8> bytes;
    const FileFault fault = ReadWholeFile(path.c_str(), kMaxSettingsBytes, &bytes);
    if (fault == FileFault::Missing) return;  // a first start
    if (fault != FileFault::None) {
      // Never replace what could not be read: it may be the player's file all the same.
      readable_ = false;
      WarnOnce("cannot read the settings file " + path + ": " + DescribeFileFault(fault, kMaxSettingsBytes));
      return;
    }
    const char* text = reinterpret_cast<const char*>(bytes.data());
    for (size_t at = 0; at < bytes.size();) {
      size_t end = at;
      while (end < bytes.size() && text[end] != '\n') ++end;
      std::string name;
      u32 value = 0;
      // A line that does not read back is passed over; the others keep their values.
      if (ParseLine(text + at, end - at, &name, &value)) memory_.Put(name, value);
      at = end + 1;
    }
  }

  // Writes the file when a value changed; false when it cannot be written (said once per file).
  bool Flush() {
    if (!dirty_) return true;
    if (!readable_) return false;
    const std::string& path = loadedFrom_;
    MakeParents(path);
    std::string text;
    for (const auto& [name, value] : memory_.Values()) text += name + "=" + std::to_string(value) + "\n";
    std::string error;
    if (!Files().WriteAtomic(path.c_str(), text.data(), text.size(), &error)) {
      WarnOnce(error);
      return false;
    }
    dirty_ = false;
    return true;
  }

  void WarnOnce(const std::string& problem) {
    if (warned_) return;
    warned_ = true;
    Warn(problem + "; the settings are kept in memory for this run");
  }

  std::mutex mutex_;
  MemoryRegistry memory_;
  std::string loadedFrom_ = "\n";  // never a real path: forces the first load
  u32 batch_ = 0;
  bool dirty_ = false;    // a value changed since the file was read or written
  bool readable_ = true;  // the file was read (or is missing): it may be replaced
  bool warned_ = false;   // the problem with this file was said
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
