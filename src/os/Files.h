// File service: the handheld's file calls as the game uses them. Paths are host paths ('/' separated);
// the foundation's file store turns the game's names into paths.
#pragma once
#include "os/Types.h"

#include <memory>

namespace Os {

// One open file. Reads are positioned; writes append at the file's own position (a created file starts
// empty, so writes build it front to back).
class File {
 public:
  virtual ~File() = default;
  // Reads up to n bytes at offset into buffer; returns the number read (0 at or past the end), -1 on error.
  virtual i64 ReadAt(u64 offset, void* buffer, u32 n) = 0;
  // Writes n bytes at the current position; returns the number written (less than n on a short write),
  // -1 on error.
  virtual i64 Write(const void* buffer, u32 n) = 0;
  // Size in bytes.
  virtual u64 Size() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // An existing file for reading (others may still read and write it); null when it cannot be opened.
  virtual std::unique_ptr<File> OpenRead(const char* path) = 0;
  // A new empty file for writing, truncating an existing one; null when it cannot be created.
  virtual std::unique_ptr<File> Create(const char* path) = 0;
  virtual bool Delete(const char* path) = 0;
  // Replaces `to` by `from` in one step (the old `to` stays whole until the rename succeeds).
  virtual bool Rename(const char* from, const char* to) = 0;
  virtual bool Exists(const char* path) = 0;
};

FileSystem& Files();
void InstallFiles(FileSystem* s);  // nullptr restores the host default

}  // namespace Os
