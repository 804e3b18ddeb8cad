// Single instance on the host: a lock file named after the window class, held with flock for the life of
// the process, in $XDG_RUNTIME_DIR (or /tmp, with the user id in the name). The holder's process id is in
// the file; a second start sends it SIGUSR1, which the holder takes as a request to come to the front.
// A lock file that is a link or belongs to another user is never trusted: another user could otherwise
// choose which process receives the signal.
#include "os/Window.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Os {
namespace {

volatile std::sig_atomic_t raiseRequested = 0;
void OnRaiseSignal(int) { raiseRequested = 1; }

std::string LockPath(const char* name) {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  std::string path;
  if (dir && *dir) {
    path = std::string(dir) + "/";
  } else {
    path = "/tmp/duskmire-" + std::to_string(long(::getuid())) + "-";
  }
  for (const char* p = name; *p; ++p) path += (*p == '/' ? '_' : *p);
  return path + ".lock";
}

// Opens the lock file only when it is a plain file of ours (no link, no other owner).
int OpenOwnLockFile(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  struct stat info = {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::getuid()) {
    ::close(fd);
    return -1;
  }
  return fd;
}

class HostInstanceLock : public InstanceLock {
 public:
  ~HostInstanceLock() override { Release(); }

  bool TryAcquire(const char* name) override {
    if (fd_ >= 0) return true;
    const std::string path = LockPath(name);
    int fd = OpenOwnLockFile(path, O_RDWR | O_CREAT);
    if (fd < 0) return true;  // no place for a lock we can trust: do not keep the player out
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return false;
    }
    struct sigaction action = {};
    action.sa_handler = OnRaiseSignal;
    // A request may arrive in the middle of a read or a write (a saved game, the settings file): those
    // go on rather than fail with an interruption.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR1, &action, nullptr);
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%ld\n", long(::getpid()));
    if (::ftruncate(fd, 0) == 0 && ::write(fd, text, size_t(n)) != n) {
      // The lock holds without the id; a second start then just ends.
    }
    fd_ = fd;
    path_ = path;
    return true;
  }

  u32 RaiseHolder(const char* name) override {
    const std::string path = LockPath(name);
    const int fd = OpenOwnLockFile(path, O_RDONLY);
    if (fd < 0) return 0;
    FILE* f = ::fdopen(fd, "r");
    if (!f) {
      ::close(fd);
      return 0;
    }
    long pid = 0;
    const bool ok = std::fscanf(f, "%ld", &pid) == 1;
    std::fclose(f);
    if (!ok || pid <= 1 || pid > 0x7FFFFFFF || pid == long(::getpid())) return 0;
    ::kill(pid_t(pid), SIGUSR1);
    return u32(pid);
  }

  bool TakeRaiseRequest() override {
    if (!raiseRequested) return false;
    raiseRequested = 0;
    return true;
  }

  void Release() override {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
  std::string path_;
};

HostInstanceLock& HostInstances() {
  static HostInstanceLock instance;
  return instance;
}
InstanceLock* installedInstances = nullptr;

}  // namespace

InstanceLock& Instances() { return installedInstances ? *installedInstances : HostInstances(); }
void InstallInstances(InstanceLock* l) { installedInstances = l; }

}  // namespace Os
