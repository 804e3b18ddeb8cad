// Single instance on the host: a lock file named after the window class, held with flock for the life of
// the process, in $XDG_RUNTIME_DIR (or /tmp). The holder's process id is in the file; a second start
// sends it SIGUSR1, which the holder takes as a request to come to the front.
#include "os/Window.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Os {
namespace {

volatile std::sig_atomic_t raiseRequested = 0;
void OnRaiseSignal(int) { raiseRequested = 1; }

std::string LockPath(const char* name) {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  std::string path = (dir && *dir) ? dir : "/tmp";
  path += "/";
  for (const char* p = name; *p; ++p) path += (*p == '/' ? '_' : *p);
  return path + ".lock";
}

class HostInstanceLock : public InstanceLock {
 public:
  ~HostInstanceLock() override { Release(); }

  bool TryAcquire(const char* name) override {
    if (fd_ >= 0) return true;
    const std::string path = LockPath(name);
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // no place for a lock: do not keep the player out
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return false;
    }
    struct sigaction action = {};
    action.sa_handler = OnRaiseSignal;
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

  void RaiseHolder(const char* name) override {
    const std::string path = LockPath(name);
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return;
    long pid = 0;
    const bool ok = std::fscanf(f, "%ld", &pid) == 1;
    std::fclose(f);
    if (ok && pid > 1 && pid != long(::getpid())) ::kill(pid_t(pid), SIGUSR1);
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
