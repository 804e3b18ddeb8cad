// POSIX files behind the file service.
#include "os/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

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
    const u8* in = static_cast<const u8*>(buffer);
    u32 done = 0;
    while (done < n) {
      ssize_t r = ::write(fd_, in + done, n - done);
      if (r < 0) {
        if (errno == EINTR) continue;
        return done ? i64(done) : -1;
      }
      done += u32(r);
    }
    return done;
  }

  u64 Size() override {
    struct stat st;
    return ::fstat(fd_, &st) == 0 ? u64(st.st_size) : 0;
  }

 private:
  int fd_;
};

class HostFileSystem : public FileSystem {
 public:
  std::unique_ptr<File> OpenRead(const char* path) override {
    if (!path) return nullptr;
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
  }
  std::unique_ptr<File> Create(const char* path) override {
    if (!path) return nullptr;
    int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixFile>(fd);
  }
  bool Delete(const char* path) override { return path && ::unlink(path) == 0; }
  bool Rename(const char* from, const char* to) override { return from && to && ::rename(from, to) == 0; }
  bool Exists(const char* path) override {
    struct stat st;
    return path && ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
  }
};

HostFileSystem hostFiles;
FileSystem* installedFiles = nullptr;

}  // namespace

FileSystem& Files() { return installedFiles ? *installedFiles : hostFiles; }
void InstallFiles(FileSystem* s) { installedFiles = s; }

}  // namespace Os
