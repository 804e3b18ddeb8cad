// A registry held in memory, with failure injection and a log of the values set (in order).
#pragma once
#include "os/Registry.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace Os {

class MemoryRegistry : public Registry {
 public:
  RegKey CreateKey(RegistryRoot root, const char* path) override;
  void CloseKey(RegKey key) override;
  bool QueryDword(RegKey key, const char* name, u32* value) override;
  bool SetDword(RegKey key, const char* name, u32 value) override;

  // The full name of a value under an open key; "" when the key is not open.
  std::string FullName(RegKey key, const char* name) const;
  // Values as "<root>\<path>\<name>" ("HKLM\SOFTWARE\Duskmire\StartMode").
  bool Get(const std::string& fullName, u32* value) const;
  void Put(const std::string& fullName, u32 value);
  size_t Size() const;
  const std::map<std::string, u32>& Values() const;  // not locked: for tests and the host file
  void Clear();
  // Names of the values set through SetDword, in order (full names).
  const std::vector<std::string>& SetLog() const { return setLog_; }
  void ClearLog() { setLog_.clear(); }

  // Faults: opening keys fails; queries fail; sets fail.
  void FailOpen(bool fail) { failOpen_ = fail; }
  void FailQuery(bool fail) { failQuery_ = fail; }
  void FailSet(bool fail) { failSet_ = fail; }

 private:
  mutable std::mutex mutex_;
  std::map<std::string, u32> values_;
  std::vector<std::string> keys_;  // open keys by handle
  std::vector<std::string> setLog_;
  bool failOpen_ = false, failQuery_ = false, failSet_ = false;
};

// Key prefix used in full names: "HKLM" or "HKCU".
const char* RegistryRootName(RegistryRoot root);

}  // namespace Os
