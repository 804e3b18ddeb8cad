#include "os/headless/MemoryFiles.h"

#include <algorithm>
#include <cstring>

namespace Os {

struct MemoryFileSystem::Shared {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<std::vector<u8>>> files;
  std::set<std::string> deleted;  // host files hidden by a delete or a rename
  bool readThrough = false;
  std::vector<std::string> failCreate;
  std::vector<std::string> failDelete;
  bool failRename = false;
  u32 readLimit = 0;
  u64 writeLimit = 0;
  u32 writes = 0;  // files created
  u32 serial = 0;  // of temporary names
};

namespace {

bool EndsWithAny(const std::string& path, const std::vector<std::string>& suffixes) {
  for (const auto& suffix : suffixes)
    if (path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0)
      return true;
  return false;
}

class MemoryFile : public File {
 public:
  MemoryFile(std::shared_ptr<MemoryFileSystem::Shared> shared, std::shared_ptr<std::vector<u8>> data)
      : shared_(std::move(shared)), data_(std::move(data)) {}

  i64 ReadAt(u64 offset, void* buffer, u32 n) override {
    std::lock_guard lock(shared_->mutex);
    if (offset >= data_->size()) return 0;
    u64 count = std::min<u64>(n, data_->size() - offset);
    if (shared_->readLimit) count = std::min<u64>(count, shared_->readLimit);
    std::memcpy(buffer, data_->data() + offset, size_t(count));
    return i64(count);
  }

  i64 Write(const void* buffer, u32 n) override {
    std::lock_guard lock(shared_->mutex);
    u64 count = n;
    if (shared_->writeLimit)
      count = data_->size() >= shared_->writeLimit ? 0 : std::min<u64>(n, shared_->writeLimit - data_->size());
    const u8* in = static_cast<const u8*>(buffer);
    data_->insert(data_->end(), in, in + count);
    return i64(count);
  }

  u64 Size() override {
    std::lock_guard lock(shared_->mutex);
    return data_->size();
  }

 private:
  std::shared_ptr<MemoryFileSystem::Shared> shared_;
  std::shared_ptr<std::vector<u8>> data_;
};

// Through the host's own files: a FIFO or a device is refused there without blocking.
bool ReadHostFile(const char* path, std::vector<u8>* out) {
  return ReadWholeFile(path, ~u64(0), out, &HostFileSystem()) == FileFault::None;
}

}  // namespace

MemoryFileSystem::MemoryFileSystem(bool readThroughToHost) : shared_(std::make_shared<Shared>()) {
  shared_->readThrough = readThroughToHost;
}

std::unique_ptr<File> MemoryFileSystem::OpenRead(const char* path, FileFault* fault) {
  if (fault) *fault = FileFault::Missing;
  if (!path) return nullptr;
  std::lock_guard lock(shared_->mutex);
  auto it = shared_->files.find(path);
  if (it != shared_->files.end()) {
    if (fault) *fault = FileFault::None;
    return std::make_unique<MemoryFile>(shared_, it->second);
  }
  if (!shared_->readThrough || shared_->deleted.count(path)) return nullptr;
  // A host file is copied in on first open; later writes stay here.
  auto data = std::make_shared<std::vector<u8>>();
  if (!ReadHostFile(path, data.get())) return nullptr;
  if (fault) *fault = FileFault::None;
  shared_->files[path] = data;
  return std::make_unique<MemoryFile>(shared_, data);
}

std::unique_ptr<File> MemoryFileSystem::Create(const char* path) {
  if (!path) return nullptr;
  std::lock_guard lock(shared_->mutex);
  std::string p = path;
  if (EndsWithAny(p, shared_->failCreate)) return nullptr;
  auto data = std::make_shared<std::vector<u8>>();
  shared_->files[p] = data;
  shared_->deleted.erase(p);
  ++shared_->writes;
  return std::make_unique<MemoryFile>(shared_, data);
}

bool MemoryFileSystem::Delete(const char* path) {
  if (!path) return false;
  std::lock_guard lock(shared_->mutex);
  if (EndsWithAny(path, shared_->failDelete)) return false;
  bool had = shared_->files.erase(path) > 0;
  if (shared_->readThrough && !shared_->deleted.count(path)) {
    had = had || HostFileSystem().Exists(path);
    shared_->deleted.insert(path);
  }
  return had;
}

bool MemoryFileSystem::Rename(const char* from, const char* to) {
  if (!from || !to) return false;
  std::lock_guard lock(shared_->mutex);
  if (shared_->failRename) return false;
  auto it = shared_->files.find(from);
  if (it == shared_->files.end()) return false;
  auto data = it->second;
  shared_->files.erase(it);
  shared_->files[to] = data;
  shared_->deleted.erase(to);
  if (shared_->readThrough) shared_->deleted.insert(from);
  return true;
}

bool MemoryFileSystem::Exists(const char* path) {
  if (!path) return false;
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->files.count(path)) return true;
    if (!shared_->readThrough || shared_->deleted.count(path)) return false;
  }
  return HostFileSystem().Exists(path);
}

bool MemoryFileSystem::WriteAtomic(const char* path, const void* data, u64 n, std::string* error) {
  auto fail = [&](const char* why) {
    if (error) *error = "cannot write " + std::string(path ? path : "(none)") + ": " + why;
    return false;
  };
  if (!path || !*path || (!data && n)) return fail("nothing to write");
  // The same steps as on the host, so that the faults above hit each of them.
  const std::string target = path;
  const size_t slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  u32 serial = 0;
  {
    std::lock_guard lock(shared_->mutex);
    serial = shared_->serial++;
  }
  const std::string temp =
      target.substr(0, slash == std::string::npos ? 0 : slash + 1) + TemporaryName(base, 1, serial);
  std::unique_ptr<File> file = Create(temp.c_str());
  if (!file) return fail("cannot create a temporary file beside it");
  const u8* bytes = static_cast<const u8*>(data);
  bool ok = true;
  for (u64 done = 0; ok && done < n;) {
    const u32 chunk = u32(n - done < (1u << 30) ? n - done : (1u << 30));
    ok = file->Write(bytes + done, chunk) == i64(chunk);
    done += chunk;
  }
  file.reset();
  if (!ok || !Rename(temp.c_str(), path)) {
    Delete(temp.c_str());
    return fail(ok ? "cannot replace it" : "write error");
  }
  return true;
}

u32 MemoryFileSystem::WriteCount() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->writes;
}

void MemoryFileSystem::Put(const std::string& path, std::vector<u8> bytes) {
  std::lock_guard lock(shared_->mutex);
  shared_->files[path] = std::make_shared<std::vector<u8>>(std::move(bytes));
  shared_->deleted.erase(path);
}

bool MemoryFileSystem::Get(const std::string& path, std::vector<u8>* bytes) const {
  std::lock_guard lock(shared_->mutex);
  auto it = shared_->files.find(path);
  if (it == shared_->files.end()) return false;
  if (bytes) *bytes = *it->second;
  return true;
}

std::vector<std::string> MemoryFileSystem::List() const {
  std::lock_guard lock(shared_->mutex);
  std::vector<std::string> names;
  for (const auto& entry : shared_->files) names.push_back(entry.first);
  return names;
}

void MemoryFileSystem::FailCreate(const std::string& pathSuffix) {
  std::lock_guard lock(shared_->mutex);
  shared_->failCreate.push_back(pathSuffix);
}
void MemoryFileSystem::FailDelete(const std::string& pathSuffix) {
  std::lock_guard lock(shared_->mutex);
  shared_->failDelete.push_back(pathSuffix);
}
void MemoryFileSystem::FailRename(bool fail) {
  std::lock_guard lock(shared_->mutex);
  shared_->failRename = fail;
}
void MemoryFileSystem::LimitReads(u32 maxBytesPerRead) {
  std::lock_guard lock(shared_->mutex);
  shared_->readLimit = maxBytesPerRead;
}
void MemoryFileSystem::LimitWrites(u64 maxBytesInAll) {
  std::lock_guard lock(shared_->mutex);
  shared_->writeLimit = maxBytesInAll;
}
void MemoryFileSystem::ClearFaults() {
  std::lock_guard lock(shared_->mutex);
  shared_->failCreate.clear();
  shared_->failDelete.clear();
  shared_->failRename = false;
  shared_->readLimit = 0;
  shared_->writeLimit = 0;
}

}  // namespace Os
