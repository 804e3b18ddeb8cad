#include "foundation/SDatabase.h"

#include "foundation/SStream.h"
#include "foundation/TimeUtil.h"
#include "os/Process.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

void PutBE16(u8* p, u16 v) {
  p[0] = u8(v >> 8);
  p[1] = u8(v);
}
void PutBE32(u8* p, u32 v) {
  p[0] = u8(v >> 24);
  p[1] = u8(v >> 16);
  p[2] = u8(v >> 8);
  p[3] = u8(v);
}
u16 GetBE16(const u8* p) { return u16(p[0] << 8 | p[1]); }
u32 GetBE32(const u8* p) { return u32(p[0]) << 24 | u32(p[1]) << 16 | u32(p[2]) << 8 | u32(p[3]); }

SFileStore& DefaultStore() {
  static SFileStore store;
  return store;
}

}  // namespace

// ---- header ----

void SDatabaseHeader::ToBytes(u8 out[kDatabaseHeaderSize]) const {
  std::memcpy(out, name, 32);
  PutBE16(out + 32, attributes);
  PutBE16(out + 34, version);
  PutBE32(out + 36, creationDate);
  PutBE32(out + 40, modificationDate);
  PutBE32(out + 44, backupDate);
  PutBE32(out + 48, modificationNumber);
  PutBE32(out + 52, appInfoOffset);
  PutBE32(out + 56, sortInfoOffset);
  std::memcpy(out + 60, type, 4);
  std::memcpy(out + 64, creator, 4);
  PutBE32(out + 68, uniqueIdSeed);
  PutBE32(out + 72, nextRecordList);
  PutBE16(out + 76, numRecords);
}

void SDatabaseHeader::FromBytes(const u8 in[kDatabaseHeaderSize]) {
  std::memcpy(name, in, 32);
  attributes = GetBE16(in + 32);
  version = GetBE16(in + 34);
  creationDate = GetBE32(in + 36);
  modificationDate = GetBE32(in + 40);
  backupDate = GetBE32(in + 44);
  modificationNumber = GetBE32(in + 48);
  appInfoOffset = GetBE32(in + 52);
  sortInfoOffset = GetBE32(in + 56);
  std::memcpy(type, in + 60, 4);
  std::memcpy(creator, in + 64, 4);
  uniqueIdSeed = GetBE32(in + 68);
  nextRecordList = GetBE32(in + 72);
  numRecords = GetBE16(in + 76);
}

// ---- file store ----

SFileStore::SFileStore(std::string folder) { SetFolder(std::move(folder)); }

void SFileStore::SetFolder(std::string folder) {
  folder_ = std::move(folder);
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

std::string SFileStore::PathFor(const char* name) const {
  if (!name) return std::string();
  std::string n = name;
  if (n.find_first_of("/\\") != std::string::npos) {
    for (char& c : n)
      if (c == '\\') c = '/';
    return n;
  }
  return (folder_.empty() ? Os::ProgramFolder() : folder_) + n;
}

SFileHandle SFileStore::Open(const char* name) {
  if (!name) return nullptr;
  return Os::Files().OpenRead(PathFor(name).c_str());
}

SFileHandle SFileStore::Create(const char* name) {
  if (!name) return nullptr;
  return Os::Files().Create(PathFor(name).c_str());
}

bool SFileStore::DeleteFile(const char* name) { return name && Os::Files().Delete(PathFor(name).c_str()); }

bool SFileStore::Exists(const char* name) { return name && Os::Files().Exists(PathFor(name).c_str()); }

bool SFileStore::Rename(const char* from, const char* to) {
  return from && to && Os::Files().Rename(PathFor(from).c_str(), PathFor(to).c_str());
}

bool SFileStore::WriteAtomic(const char* name, const void* data, u64 n, std::string* error) {
  if (!name) return false;
  return Os::Files().WriteAtomic(PathFor(name).c_str(), data, n, error);
}

i64 SFileStore::ReadAt(Os::File* handle, u32 offset, u32 n, void* buffer) {
  if (!handle || (!buffer && n)) return -1;
  return handle->ReadAt(offset, buffer, n);
}

i64 SFileStore::Write(Os::File* handle, u32 n, const void* buffer) {
  if (!handle || (!buffer && n)) return -1;
  return handle->Write(buffer, n);
}

u32 SFileStore::GetSize(Os::File* handle) {
  if (!handle) return 0;
  u64 size = handle->Size();
  return size > 0xFFFFFFFFull ? 0xFFFFFFFFu : u32(size);
}

// ---- helpers ----

std::string DatabaseFileName(const char* name) {
  std::string n = name ? name : "";
  if (n.find(".pdb") == std::string::npos) n += ".pdb";
  return n;
}

u32 SecondsSince1904() { return u32(GetLocalTimeSeconds() + 2082844800ll); }

void MemZero(void* p, u32 n) {
  if (p && n) std::memset(p, 0, n);
}

void* MemCopy(void* dest, const void* src, u32 n) {
  if (n) std::memmove(dest, src, n);
  return static_cast<u8*>(dest) + n;
}

// ---- reader ----

SDatabase::SDatabase(SFileStore* store) : store_(store) {}

SDatabase::~SDatabase() { Close(); }

SFileStore& SDatabase::Store() { return store_ ? *store_ : DefaultStore(); }

void SDatabase::InitHeader(SDatabaseHeader& header, bool saved) {
  header = SDatabaseHeader();
  std::memcpy(header.name, "db", 2);
  header.attributes = saved ? 8 : 0;
  header.version = 1;
  header.creationDate = header.modificationDate = SecondsSince1904();
  std::memcpy(header.type, kBlankCode, 4);
  std::memcpy(header.creator, kBlankCode, 4);
}

bool SDatabase::DeleteFile(SFileStore* store, const char* name) {
  if (!name) return false;
  return (store ? *store : DefaultStore()).DeleteFile(DatabaseFileName(name).c_str());
}

void SDatabase::Close() {
  file_.reset();
  numRecords_ = 0;
  entries_.clear();
}

bool SDatabase::Open(const char* name, const char* creator) {
  Close();
  if (!name) return false;
  SFileStore& store = Store();
  file_ = store.Open(DatabaseFileName(name).c_str());
  if (!file_) return false;
  const u32 fileSize = store.GetSize(file_.get());
  u8 raw[kDatabaseHeaderSize];
  if (fileSize < kDatabaseHeaderSize || store.ReadAt(file_.get(), 0, kDatabaseHeaderSize, raw) != kDatabaseHeaderSize) {
    Close();
    return false;
  }
  header_.FromBytes(raw);
  if (std::memcmp(header_.creator, creator ? creator : kDataCreator, 4) != 0) {
    Close();
    return false;
  }
  const u32 n = header_.numRecords;
  const u64 tableEnd = u64(kDatabaseHeaderSize) + u64(kDatabaseEntrySize) * n;
  if (tableEnd > fileSize) {
    Close();
    return false;
  }
  std::vector<u8> table(size_t(n) * kDatabaseEntrySize);
  if (n && store.ReadAt(file_.get(), kDatabaseHeaderSize, u32(table.size()), table.data()) != i64(table.size())) {
    Close();
    return false;
  }
  std::vector<SDatabaseEntry> entries(n);
  for (u32 i = 0; i < n; ++i) {
    const u8* e = table.data() + size_t(i) * kDatabaseEntrySize;
    entries[i].offset = GetBE32(e);
    entries[i].id = GetBE16(e + 6);
    // Records lie after the entry table, in order, inside the file.
    if (entries[i].offset < tableEnd || entries[i].offset > fileSize ||
        (i > 0 && entries[i].offset < entries[i - 1].offset)) {
      Close();
      return false;
    }
  }
  for (u32 i = 0; i < n; ++i) entries[i].size = (i + 1 < n ? entries[i + 1].offset : fileSize) - entries[i].offset;
  entries_ = std::move(entries);
  numRecords_ = u16(n);
  return true;
}

const SDatabaseEntry* SDatabase::FindEntry(u16 id) const {
  for (u32 i = 0; i < numRecords_; ++i)
    if (entries_[i].id == id) return &entries_[i];
  return nullptr;
}

std::unique_ptr<SRecordData> SDatabase::ReadRecord(u16 id) {
  const SDatabaseEntry* entry = FindEntry(id);
  if (!entry || !file_) return nullptr;
  u8* data = new (std::nothrow) u8[entry->size ? entry->size : 1];
  if (!data) return nullptr;
  auto record = std::make_unique<SRecordData>(data, entry->size);
  if (entry->size && Store().ReadAt(file_.get(), entry->offset, entry->size, data) != i64(entry->size)) return nullptr;
  return record;
}

bool SDatabase::IsSavedGame() const { return HasType(kSavedGameCode); }
bool SDatabase::HasCreator(const char* code) const { return code && std::memcmp(header_.creator, code, 4) == 0; }
bool SDatabase::HasType(const char* code) const { return code && std::memcmp(header_.type, code, 4) == 0; }

// ---- writer ----

SDatabaseWriter::SDatabaseWriter(SFileStore* store) : store_(store) { SDatabase::InitHeader(header_, false); }

SFileStore& SDatabaseWriter::Store() { return store_ ? *store_ : DefaultStore(); }

void SDatabaseWriter::InitSavedGameHeader(const char* name, const char* code) {
  SDatabase::InitHeader(header_, true);
  std::memset(header_.name, 0, sizeof header_.name);
  if (name) StrCopyN(header_.name, sizeof header_.name, name, 31);
  std::memcpy(header_.type, code ? code : kSavedGameCode, 4);
  std::memcpy(header_.creator, code ? code : kSavedGameCode, 4);
}

bool SDatabaseWriter::AddRecord(u16 id, const void* data, u32 n) {
  if (records_.size() >= 0xFFFF || (!data && n)) return false;
  Record record{id, {}};
  const u8* bytes = static_cast<const u8*>(data);
  if (n) record.data.assign(bytes, bytes + n);
  records_.push_back(std::move(record));
  header_.numRecords = u16(records_.size());
  return true;
}

bool SDatabaseWriter::AddRecordFromStream(u16 id, const SStream& stream) {
  if (stream.Failed() || !stream.IsWriting()) return false;
  return AddRecord(id, stream.Data(), stream.BytesUsed());
}

bool SDatabaseWriter::BuildImage(std::vector<u8>& out) const {
  const u32 n = u32(records_.size());
  u64 position = u64(kDatabaseHeaderSize) + u64(kDatabaseEntrySize) * n;
  std::vector<u32> offsets(n);
  for (u32 i = 0; i < n; ++i) {
    position = (position + 3) & ~u64(3);
    if (position > 0xFFFFFFFFull) return false;
    offsets[i] = u32(position);
    position += records_[i].data.size() + 2;
  }
  if (position > 0xFFFFFFFFull) return false;
  out.assign(size_t(position), 0);
  SDatabaseHeader header = header_;
  header.numRecords = u16(n);
  header.ToBytes(out.data());
  for (u32 i = 0; i < n; ++i) {
    u8* e = out.data() + kDatabaseHeaderSize + size_t(i) * kDatabaseEntrySize;
    PutBE32(e, offsets[i]);
    e[4] = 0;
    e[5] = 0;
    PutBE16(e + 6, u16(records_[i].id));
    if (!records_[i].data.empty())
      std::memcpy(out.data() + offsets[i], records_[i].data.data(), records_[i].data.size());
  }
  return true;
}

bool SDatabaseWriter::Write(const char* name) {
  if (!name) return false;
  std::vector<u8> image;
  if (!BuildImage(image)) return false;
  return Store().WriteAtomic(DatabaseFileName(name).c_str(), image.data(), image.size());
}
