// Host threads and synchronisation objects over the standard library.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "os/Sync.h"
#include "os/Thread.h"

namespace Os {
namespace {

using Clock = std::chrono::steady_clock;

// Waits on cv until ready() holds or ms has passed; kWaitForever waits without limit.
template <class Ready>
bool WaitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, u32 ms, Ready ready) {
  if (ms == kWaitForever) {
    cv.wait(lock, ready);
    return true;
  }
  return cv.wait_until(lock, Clock::now() + std::chrono::milliseconds(ms), ready);
}

class HostThread : public Thread {
 public:
  HostThread(ThreadProc proc, void* argument, bool suspended) : suspendCount_(suspended ? 1 : 0) {
    thread_ = std::thread([this, proc, argument] {
      SafePoint();
      const u32 code = proc(argument);
      std::lock_guard<std::mutex> lock(mutex_);
      exitCode_ = code;
      done_ = true;
      changed_.notify_all();
    });
  }
  ~HostThread() override {
    if (thread_.joinable()) {
      thread_.join();
    }
  }
  void Suspend() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++suspendCount_;
  }
  void Resume() override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (suspendCount_ > 0) {
      --suspendCount_;
    }
    changed_.notify_all();
  }
  i32 SuspendCount() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return suspendCount_;
  }
  void SetPriority(i32 priority) override { priority_.store(priority, std::memory_order_relaxed); }
  i32 Priority() const override { return priority_.load(std::memory_order_relaxed); }
  void SafePoint() override {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return suspendCount_ == 0; });
  }
  bool SuspendRequested() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return suspendCount_ > 0;
  }
  bool Join(u32 ms) override {
    std::unique_lock<std::mutex> lock(mutex_);
    return WaitFor(changed_, lock, ms, [this] { return done_; });
  }
  u32 ExitCode() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return exitCode_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  i32 suspendCount_;
  std::atomic<i32> priority_{0};
  bool done_ = false;
  u32 exitCode_ = 0;
  std::thread thread_;  // last: starts once everything above is set up
};

class HostEvent : public Event {
 public:
  HostEvent(bool manualReset, bool initiallySet) : manual_(manualReset), set_(initiallySet) {}
  void Set() override {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = true;
    if (manual_) {
      cv_.notify_all();
    } else {
      cv_.notify_one();
    }
  }
  void Reset() override {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = false;
  }
  bool Wait(u32 ms) override {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!WaitFor(cv_, lock, ms, [this] { return set_; })) {
      return false;
    }
    if (!manual_) {
      set_ = false;
    }
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  const bool manual_;
  bool set_;
};

class HostSemaphore : public Semaphore {
 public:
  HostSemaphore(i32 initial, i32 maximum) : count_(initial), maximum_(maximum) {}
  bool Release(i32 count) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (count <= 0 || count > maximum_ - count_) {
      return false;
    }
    count_ += count;
    cv_.notify_all();
    return true;
  }
  bool Wait(u32 ms) override {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!WaitFor(cv_, lock, ms, [this] { return count_ > 0; })) {
      return false;
    }
    --count_;
    return true;
  }
  i32 Count() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  i32 count_;
  const i32 maximum_;
};

class HostCriticalSection : public CriticalSection {
 public:
  void Enter() override { mutex_.lock(); }
  void Leave() override { mutex_.unlock(); }
  bool TryEnter() override { return mutex_.try_lock(); }

 private:
  std::recursive_mutex mutex_;
};

class HostThreadService : public ThreadService {
 public:
  Thread* CreateThread(ThreadProc proc, void* argument, bool suspended) override {
    if (proc == nullptr) {
      return nullptr;
    }
    return new (std::nothrow) HostThread(proc, argument, suspended);
  }
};

class HostSyncService : public SyncService {
 public:
  Event* CreateEvent(bool manualReset, bool initiallySet) override {
    return new (std::nothrow) HostEvent(manualReset, initiallySet);
  }
  Semaphore* CreateSemaphore(i32 initial, i32 maximum) override {
    if (maximum <= 0 || initial < 0 || initial > maximum) {
      return nullptr;
    }
    return new (std::nothrow) HostSemaphore(initial, maximum);
  }
  CriticalSection* CreateCriticalSection() override { return new (std::nothrow) HostCriticalSection(); }
};

HostThreadService hostThreads;
HostSyncService hostSync;
ThreadService* installedThreads = nullptr;
SyncService* installedSync = nullptr;

}  // namespace

ThreadService& Threads() { return installedThreads ? *installedThreads : hostThreads; }
void InstallThreads(ThreadService* s) { installedThreads = s; }
SyncService& Sync() { return installedSync ? *installedSync : hostSync; }
void InstallSync(SyncService* s) { installedSync = s; }

}  // namespace Os
