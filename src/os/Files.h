// File service: the handheld's file calls as the game uses them. Paths are host paths ('/' separated);
// the foundation's file store turns the game's names into paths.
#pragma once
#include "os/Types.h"

#include <memory>
#include <string>
#include <vector>

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

// Why a file could not be opened or read.
enum class FileFault : u8 { None, Missing, NotAFile, TooLarge, Unreadable };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // An existing regular file for reading (others may still read and write it); null when it cannot be
  // opened, with the reason in *fault. Never blocks: a FIFO, a device or a folder is refused.
  virtual std::unique_ptr<File> OpenRead(const char* path, FileFault* fault = nullptr) = 0;
  // A new empty file for writing, truncating an existing one; null when it cannot be created or the path
  // names something other than a regular file.
  virtual std::unique_ptr<File> Create(const char* path) = 0;
  virtual bool Delete(const char* path) = 0;
  // Replaces `to` by `from` in one step (the old `to` stays whole until the rename succeeds).
  virtual bool Rename(const char* from, const char* to) = 0;
  virtual bool Exists(const char* path) = 0;
  // Replaces the file at path by n bytes so that a reader only ever sees the old file or the whole new
  // one: the bytes go to a temporary file of a unique name in the same folder, reach the disk, and are
  // renamed over the old file. Temporaries left behind by writers that died are removed first. False
  // (the old file as it was, no temporary left) with the reason in *error when a step fails.
  virtual bool WriteAtomic(const char* path, const void* data, u64 n, std::string* error) = 0;
};

FileSystem& Files();
void InstallFiles(FileSystem* s);  // nullptr restores the host default
FileSystem& HostFileSystem();      // the host's own files, whatever is installed

// Reads a whole regular file of at most maxBytes bytes through Files() (or the file system given).
FileFault ReadWholeFile(const char* path, u64 maxBytes, std::vector<u8>* bytes, FileSystem* from = nullptr);
// The reason in words: "no such file", "not a regular file", "larger than the limit of 4 MB", ...
std::string DescribeFileFault(FileFault fault, u64 maxBytes);

// The name WriteAtomic gives the temporary file of the file named `base` (no folder), written by the
// process `pid`: ".<base>.<pid>-<serial>.tmp", hidden beside the file.
std::string TemporaryName(const std::string& base, i32 pid, u32 serial);

}  // namespace Os
