// POSIX files behind the file service.
#include "os/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace Os {
namespace {

class PosixFile : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { ::close(fd_); }

  i64 ReadAt(u64 offset, void* buffer, u32 n) override {
    u8* out = static_cast<u8*>(buffer);
    u32 done = 0;
    while (done < n) {
      ssize_t r = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
      if (r < 0) {
        if (errno == EINTR) continue;
        return done ? i64(done) : -1;
      }
      if (r == 0) break;
      done += u32(r);
    }
    return done;
  }

  i64 Write(const void* buffer, u32 n) override {
    const i64 done = WriteAll(fd_, buffer, n);
    return done < 0 ? -1 : done;
  }

  u64 Size() override {
    struct stat st;
    return ::fstat(fd_, &st) == 0 ? u64(st.st_size) : 0;
  }

  // Bytes written before the first error, or -1 when nothing was.
  static i64 WriteAll(int fd, const void* buffer, u64 n) {
    const u8* in = static_cast<const u8*>(buffer);
    u64 done = 0;
    while (done < n) {
      const size_t chunk = size_t(n - done < (1u << 30) ? n - done : (1u << 30));
      ssize_t r = ::write(fd, in + done, chunk);
      if (r < 0) {
        if (errno == EINTR) continue;
        return done ? i64(done) : -1;
      }
      if (r == 0) break;
      done += u64(r);
    }
    return i64(done);
  }

 private:
  int fd_;
};

FileFault FaultOf(int error) {
  if (error == ENOENT || error == ENOTDIR) return FileFault::Missing;
  if (error == ENXIO || error == EISDIR) return FileFault::NotAFile;  // a FIFO without reader, a socket, a folder
  return FileFault::Unreadable;
}

// Opens without blocking (opening a FIFO would wait for its other end) and keeps regular files only, so
// that a FIFO, a device or a folder is refused at once rather than hanging or read without end.
int OpenRegular(const char* path, int flags, FileFault* fault) {
  const int fd = ::open(path, flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (fault) *fault = FaultOf(errno);
    return -1;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    if (fault) *fault = FileFault::NotAFile;
    return -1;
  }
  const int status = ::fcntl(fd, F_GETFL);
  if (status >= 0) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
  if (fault) *fault = FileFault::None;
  return fd;
}

std::string ErrorText(int error) { return std::strerror(error); }

// ".<base>.<pid>-<serial>.tmp": the process id of its writer, or false when the name is not one of ours.
bool ParseTemporaryName(const std::string& name, const std::string& base, i32* pid) {
  const std::string head = "." + base + ".", tail = ".tmp";
  if (name.size() <= head.size() + tail.size() || name.compare(0, head.size(), head) != 0 ||
      name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
    return false;
  const std::string middle = name.substr(head.size(), name.size() - head.size() - tail.size());
  const size_t dash = middle.find('-');
  if (dash == 0 || dash == std::string::npos || dash > 9 || dash + 1 == middle.size()) return false;
  i64 value = 0;
  for (size_t i = 0; i < dash; ++i) {
    if (middle[i] < '0' || middle[i] > '9') return false;
    value = value * 10 + (middle[i] - '0');
  }
  for (size_t i = dash + 1; i < middle.size(); ++i)
    if (middle[i] < '0' || middle[i] > '9') return false;
  if (value < 1) return false;
  *pid = i32(value);
  return true;
}

// Temporaries of `base` whose writer has ended were left by a killed write: nothing will finish them.
void RemoveStaleTemporaries(const std::string& folder, const std::string& base) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const i32 self = i32(::getpid());
  while (const dirent* entry = ::readdir(dir)) {
    i32 pid = 0;
    if (!ParseTemporaryName(entry->d_name, base, &pid) || pid == self) continue;
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;  // still running (or not ours to ask)
    ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
}

// The rename is an entry of the folder: flushing the folder keeps it through a power cut.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

class HostFileSystem : public FileSystem {
 public:
  std::unique_ptr<File> OpenRead(const char* path, FileFault* fault = nullptr) override {
    if (!path) {
      if (fault) *fault = FileFault::Missing;
      return nullptr;
    }
    const int fd = OpenRegular(path, O_RDONLY, fault);
    return fd < 0 ? nullptr : std::make_unique<PosixFile>(fd);
  }
  std::unique_ptr<File> Create(const char* path) override {
    if (!path) return nullptr;
    const int fd = OpenRegular(path, O_WRONLY | O_CREAT | O_TRUNC, nullptr);
    return fd < 0 ? nullptr : std::make_unique<PosixFile>(fd);
  }
  bool Delete(const char* path) override { return path && ::unlink(path) == 0; }
  bool Rename(const char* from, const char* to) override { return from && to && ::rename(from, to) == 0; }
  bool Exists(const char* path) override {
    struct stat st;
    return path && ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
  }

  bool WriteAtomic(const char* path, const void* data, u64 n, std::string* error) override {
    auto fail = [&](const std::string& why) {
      if (error) *error = "cannot write " + std::string(path ? path : "(none)") + ": " + why;
      return false;
    };
    if (!path || !*path || (!data && n)) return fail("nothing to write");
    std::string target = path;
    struct stat st;
    bool exists = false;
    if (::lstat(target.c_str(), &st) == 0) {
      if (S_ISLNK(st.st_mode)) {
        // A link stays a link: what it points at is replaced.
        char* real = ::realpath(target.c_str(), nullptr);
        if (!real) return fail("the link leads nowhere (" + ErrorText(errno) + ")");
        target = real;
        std::free(real);
        if (::stat(target.c_str(), &st) != 0) return fail(ErrorText(errno));
      }
      if (!S_ISREG(st.st_mode)) return fail("not a regular file");
      exists = true;
    }
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash ? slash : 1);
    const std::string prefix = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) return fail("not a file name");
    RemoveStaleTemporaries(folder, base);

    static std::atomic<u32> serial{0};
    std::string temp;
    int fd = -1;
    for (int tries = 0; tries < 100 && fd < 0; ++tries) {
      temp = prefix + TemporaryName(base, i32(::getpid()), serial++);
      fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return fail("cannot create a temporary file beside it (" + ErrorText(errno) + ")");
    if (exists) ::fchmod(fd, st.st_mode & 07777);  // the new file keeps the old one's permissions
    std::string why;
    if (PosixFile::WriteAll(fd, data, n) != i64(n)) why = "write error (" + ErrorText(errno) + ")";
    if (why.empty() && ::fsync(fd) != 0) why = "cannot flush it to disk (" + ErrorText(errno) + ")";
    if (::close(fd) != 0 && why.empty()) why = "write error (" + ErrorText(errno) + ")";
    if (why.empty() && ::rename(temp.c_str(), target.c_str()) != 0)
      why = "cannot replace it (" + ErrorText(errno) + ")";
    if (!why.empty()) {
      ::unlink(temp.c_str());
      return fail(why);
    }
    SyncFolder(folder);
    return true;
  }
};

HostFileSystem hostFiles;
FileSystem* installedFiles = nullptr;

std::string SizeText(u64 bytes) {
  if (bytes && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MB";
  if (bytes && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

FileSystem& Files() { return installedFiles ? *installedFiles : hostFiles; }
void InstallFiles(FileSystem* s) { installedFiles = s; }
FileSystem& HostFileSystem() { return hostFiles; }

std::string TemporaryName(const std::string& base, i32 pid, u32 serial) {
  return "." + base + "." + std::to_string(pid) + "-" + std::to_string(serial) + ".tmp";
}

FileFault ReadWholeFile(const char* path, u64 maxBytes, std::vector<u8>* bytes, FileSystem* from) {
  FileFault fault = FileFault::None;
  std::unique_ptr<File> file = (from ? *from : Files()).OpenRead(path, &fault);
  if (!file) return fault == FileFault::None ? FileFault::Unreadable : fault;
  if (file->Size() > maxBytes) return FileFault::TooLarge;
  std::vector<u8> out;
  out.reserve(size_t(file->Size()));
  u8 chunk[65536];
  // The size is checked again while reading: the file may grow meanwhile.
  for (u64 at = 0;;) {
    const i64 r = file->ReadAt(at, chunk, sizeof chunk);
    if (r < 0) return FileFault::Unreadable;
    if (r == 0) break;
    if (at + u64(r) > maxBytes) return FileFault::TooLarge;
    out.insert(out.end(), chunk, chunk + r);
    at += u64(r);
  }
  if (bytes) *bytes = std::move(out);
  return FileFault::None;
}

std::string DescribeFileFault(FileFault fault, u64 maxBytes) {
  switch (fault) {
    case FileFault::None: return "no fault";
    case FileFault::Missing: return "no such file";
    case FileFault::NotAFile: return "not a regular file";
    case FileFault::TooLarge: return "larger than the limit of " + SizeText(maxBytes);
    case FileFault::Unreadable: break;
  }
  return "it cannot be read";
}

}  // namespace Os
