// Record-database files: a 78-byte big-endian header, 8-byte record entries, then the records, each at
// a 4-byte aligned offset and followed by 2 zero bytes. Record ids are the low 16 bits of the unique id.
#pragma once
#include "foundation/SRecordData.h"
#include "foundation/SStream.h"
#include "os/Files.h"

#include <memory>
#include <string>
#include <vector>

// Four-character codes of the header.
inline constexpr char kDataCreator[] = "DkMr";    // the game's data archives
inline constexpr char kSavedGameCode[] = "DkMS";  // type and creator of saved games
inline constexpr char kBlankCode[] = "    ";

inline constexpr u32 kDatabaseHeaderSize = 78;
inline constexpr u32 kDatabaseEntrySize = 8;

struct SDatabaseHeader {
  char name[32] = {};
  u16 attributes = 0;
  u16 version = 0;
  u32 creationDate = 0;
  u32 modificationDate = 0;
  u32 backupDate = 0;
  u32 modificationNumber = 0;
  u32 appInfoOffset = 0;
  u32 sortInfoOffset = 0;
  char type[4] = {};
  char creator[4] = {};
  u32 uniqueIdSeed = 0;
  u32 nextRecordList = 0;
  u16 numRecords = 0;

  void ToBytes(u8 out[kDatabaseHeaderSize]) const;
  void FromBytes(const u8 in[kDatabaseHeaderSize]);
};

struct SDatabaseEntry {
  u32 offset = 0;
  u32 size = 0;
  u16 id = 0;
};

using SFileHandle = std::unique_ptr<Os::File>;

// Opens, creates and deletes files by name: a name containing '/' or '\' is a path ('\' read as '/'),
// any other is appended to the program folder (Os::ProgramFolder(), unless a folder is set here).
class SFileStore {
 public:
  SFileStore() = default;
  explicit SFileStore(std::string folder);
  void SetFolder(std::string folder);  // "" returns to the program folder
  std::string PathFor(const char* name) const;

  SFileHandle Open(const char* name);    // existing file, reading; null when it cannot be opened
  SFileHandle Create(const char* name);  // created or truncated, writing; null when it cannot
  bool DeleteFile(const char* name);
  bool Rename(const char* from, const char* to);
  bool Exists(const char* name);
  // Replaces the file by n bytes in one step (Os::FileSystem::WriteAtomic); false, the old file kept.
  bool WriteAtomic(const char* name, const void* data, u64 n, std::string* error = nullptr);
  // Bytes read (fewer at the end of the file), or -1.
  i64 ReadAt(Os::File* handle, u32 offset, u32 n, void* buffer);
  i64 Write(Os::File* handle, u32 n, const void* buffer);
  u32 GetSize(Os::File* handle);  // 0 for none; saturated to 32 bits
  void Close(SFileHandle& handle) { handle.reset(); }

 private:
  std::string folder_;
};

// "%s.pdb" unless the name already contains ".pdb" (case-sensitive).
std::string DatabaseFileName(const char* name);
// Local time in seconds since 1 January 1904.
u32 SecondsSince1904();
void MemZero(void* p, u32 n);
void* MemCopy(void* dest, const void* src, u32 n);  // returns the end of the destination

class SDatabase {
 public:
  explicit SDatabase(SFileStore* store = nullptr);
  SDatabase(const SDatabase&) = delete;
  SDatabase& operator=(const SDatabase&) = delete;
  ~SDatabase();
  void Bind(SFileStore* store) { store_ = store; }

  // Opens "<name>.pdb" and reads its entry table; false (nothing left open, no records) when the file
  // is missing, its creator differs from creator ("DkMr" when null), or it is short or inconsistent.
  bool Open(const char* name, const char* creator = nullptr);
  // A copy of the first record with that id; null when none or when it cannot be read whole.
  std::unique_ptr<SRecordData> ReadRecord(u16 id);
  // Reads the record numbered `record` and, when it exists, advances the number past it: tables read
  // their blocks record after record.
  std::unique_ptr<SRecordData> TakeRecord(u16& record) {
    std::unique_ptr<SRecordData> r = ReadRecord(record);
    if (r) ++record;
    return r;
  }
  bool HasRecord(u16 id) const { return FindEntry(id) != nullptr; }
  bool IsSavedGame() const;
  bool HasCreator(const char* code) const;
  bool HasType(const char* code) const;
  bool IsOpen() const { return file_ != nullptr; }
  void Close();
  u16 RecordCount() const { return numRecords_; }
  const SDatabaseEntry* Entries() const { return entries_.data(); }
  const SDatabaseHeader& Header() const { return header_; }

  // A fresh header: name "db", attributes 8 when saved else 0, version 1, both dates now, type and
  // creator four blanks, no records.
  static void InitHeader(SDatabaseHeader& header, bool saved);
  // Deletes "<name>.pdb"; the result of the deletion.
  static bool DeleteFile(SFileStore* store, const char* name);

 private:
  const SDatabaseEntry* FindEntry(u16 id) const;
  SFileStore& Store();

  SFileStore* store_;
  SFileHandle file_;
  SDatabaseHeader header_;
  u16 numRecords_ = 0;
  std::vector<SDatabaseEntry> entries_;
};

class SDatabaseWriter {
 public:
  explicit SDatabaseWriter(SFileStore* store = nullptr);
  void Bind(SFileStore* store) { store_ = store; }
  SDatabaseHeader& Header() { return header_; }
  // Attributes 8, the name, type and creator both the code ("DkMS" when null).
  void InitSavedGameHeader(const char* name, const char* code = nullptr);
  // Stores a copy of n bytes under the id; false when the record cannot be kept (65,535 records at most,
  // or the file would pass 4 GB).
  bool AddRecord(u16 id, const void* data, u32 n);
  // The stream's written bytes; false, and nothing stored, when the stream failed.
  bool AddRecordFromStream(u16 id, const SStream& stream);
  u16 RecordCount() const { return header_.numRecords; }
  // The whole file's bytes.
  bool BuildImage(std::vector<u8>& out) const;
  // Writes "<name>.pdb" in one atomic step (a temporary file beside it, flushed, renamed over the old
  // one); false on a failed create, short write or rename (the old file then stays as it was).
  bool Write(const char* name);

 private:
  struct Record {
    u32 id;
    std::vector<u8> data;
  };
  SFileStore& Store();

  SFileStore* store_;
  SDatabaseHeader header_;
  std::vector<Record> records_;
};

// The largest buffer a record is built in.
inline constexpr u32 kMaxRecordBuffer = 64u << 20;

// Builds a record through build(SStream&) -> bool in a stream buffer of its own and stores it under the
// id. A record that fills the buffer is built again in one four times as large; false when it cannot be
// built (build or the stream failed otherwise) or stored.
template <class Build>
bool AddBuiltRecord(SDatabaseWriter& writer, u16 id, u32 version, Build&& build) {
  for (u32 size = SStream::kWriteBufferSize; size <= kMaxRecordBuffer; size *= 4) {
    SStream s(version);
    if (!s.OpenForWriteOwned(size)) return false;
    const bool built = build(s);
    if (built && s.Ok()) return writer.AddRecordFromStream(id, s);
    // Only a record that ran out of room is built again.
    if (!s.Failed() || s.Position() != s.Size()) return false;
  }
  return false;
}
