// An in-memory file store with fault injection. Files written here stay in memory; reads of a path that
// was never written here can fall through to the host's files (so headless runs read the built world
// without touching it).
#pragma once
#include "os/Files.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace Os {

class MemoryFileSystem : public FileSystem {
 public:
  explicit MemoryFileSystem(bool readThroughToHost = false);

  std::unique_ptr<File> OpenRead(const char* path, FileFault* fault = nullptr) override;
  std::unique_ptr<File> Create(const char* path) override;
  bool Delete(const char* path) override;
  bool Rename(const char* from, const char* to) override;
  bool Exists(const char* path) override;
  bool WriteAtomic(const char* path, const void* data, u64 n, std::string* error) override;

  // Contents.
  void Put(const std::string& path, std::vector<u8> bytes);
  bool Get(const std::string& path, std::vector<u8>* bytes) const;  // in-memory files only
  std::vector<std::string> List() const;
  // Files created here so far, temporaries included (each atomic write creates one).
  u32 WriteCount() const;

  // Faults. A failing create applies to every path that ends with the given text ("" for every path).
  void FailCreate(const std::string& pathSuffix);
  void FailRename(bool fail);
  // A file whose path ends with the given text cannot be deleted (a read-only file): Delete is false and
  // the file stays.
  void FailDelete(const std::string& pathSuffix);
  void LimitReads(u32 maxBytesPerRead);  // short reads; 0 = no limit
  void LimitWrites(u64 maxBytesInAll);   // a file stops growing after that many bytes; 0 = no limit
  void ClearFaults();

  struct Shared;  // state shared with open files

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace Os
