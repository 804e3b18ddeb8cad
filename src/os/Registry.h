// Registry: keys holding named 32-bit values, as the game keeps its settings.
#pragma once
#include "os/Types.h"

namespace Os {

enum class RegistryRoot : u8 { LocalMachine, CurrentUser };

using RegKey = i32;  // a key handle; negative when none
inline constexpr RegKey kNoKey = -1;

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens the key at path (segments separated by '\'), creating it when missing; kNoKey on failure.
  virtual RegKey CreateKey(RegistryRoot root, const char* path) = 0;
  virtual void CloseKey(RegKey key) = 0;
  // The value's 4 bytes; false when the key or value is missing or cannot be read.
  virtual bool QueryDword(RegKey key, const char* name, u32* value) = 0;
  virtual bool SetDword(RegKey key, const char* name, u32 value) = 0;
  // Sets between these two take effect together: a registry kept in a file writes it once when the
  // outermost batch ends, and not at all when no value changed. Batches nest.
  virtual void BeginBatch() {}
  virtual void EndBatch() {}
};

Registry& Reg();
void InstallRegistry(Registry* r);  // nullptr restores the host default

// A batch of sets for the lifetime of the object.
class RegistryBatch {
 public:
  RegistryBatch() : registry_(Reg()) { registry_.BeginBatch(); }
  ~RegistryBatch() { registry_.EndBatch(); }
  RegistryBatch(const RegistryBatch&) = delete;
  RegistryBatch& operator=(const RegistryBatch&) = delete;

 private:
  Registry& registry_;
};

}  // namespace Os
