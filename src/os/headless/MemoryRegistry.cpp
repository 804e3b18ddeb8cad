#include "os/headless/MemoryRegistry.h"

namespace Os {

const char* RegistryRootName(RegistryRoot root) { return root == RegistryRoot::CurrentUser ? "HKCU" : "HKLM"; }

RegKey MemoryRegistry::CreateKey(RegistryRoot root, const char* path) {
  std::lock_guard lock(mutex_);
  if (failOpen_ || !path) return kNoKey;
  std::string key = std::string(RegistryRootName(root)) + (*path ? "\\" : "") + path;
  for (size_t i = 0; i < keys_.size(); ++i) {
    if (keys_[i].empty()) {
      keys_[i] = key;
      return RegKey(i);
    }
  }
  keys_.push_back(key);
  return RegKey(keys_.size() - 1);
}

void MemoryRegistry::CloseKey(RegKey key) {
  std::lock_guard lock(mutex_);
  if (key >= 0 && size_t(key) < keys_.size()) keys_[size_t(key)].clear();
}

bool MemoryRegistry::QueryDword(RegKey key, const char* name, u32* value) {
  std::lock_guard lock(mutex_);
  if (failQuery_ || !name || !value || key < 0 || size_t(key) >= keys_.size() || keys_[size_t(key)].empty())
    return false;
  auto it = values_.find(keys_[size_t(key)] + "\\" + name);
  if (it == values_.end()) return false;
  *value = it->second;
  return true;
}

bool MemoryRegistry::SetDword(RegKey key, const char* name, u32 value) {
  std::lock_guard lock(mutex_);
  if (failSet_ || !name || key < 0 || size_t(key) >= keys_.size() || keys_[size_t(key)].empty()) return false;
  std::string full = keys_[size_t(key)] + "\\" + name;
  values_[full] = value;
  setLog_.push_back(full);
  return true;
}

std::string MemoryRegistry::FullName(RegKey key, const char* name) const {
  std::lock_guard lock(mutex_);
  if (!name || key < 0 || size_t(key) >= keys_.size() || keys_[size_t(key)].empty()) return std::string();
  return keys_[size_t(key)] + "\\" + name;
}

bool MemoryRegistry::Get(const std::string& fullName, u32* value) const {
  std::lock_guard lock(mutex_);
  auto it = values_.find(fullName);
  if (it == values_.end()) return false;
  if (value) *value = it->second;
  return true;
}

void MemoryRegistry::Put(const std::string& fullName, u32 value) {
  std::lock_guard lock(mutex_);
  values_[fullName] = value;
}

size_t MemoryRegistry::Size() const {
  std::lock_guard lock(mutex_);
  return values_.size();
}

void MemoryRegistry::Clear() {
  std::lock_guard lock(mutex_);
  values_.clear();
  setLog_.clear();
}

const std::map<std::string, u32>& MemoryRegistry::Values() const { return values_; }

}  // namespace Os
