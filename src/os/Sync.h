// Synchronisation objects: events (auto-reset or manual), counting semaphores with time-outs and a
// recursive critical section. Time-outs are in milliseconds; kWaitForever waits without limit.
#pragma once
#include "os/Thread.h"
#include "os/Types.h"

namespace Os {

class Event {
 public:
  virtual ~Event() = default;
  virtual void Set() = 0;
  virtual void Reset() = 0;
  // True when the event was signalled within ms (an auto-reset event is cleared by the waiter it wakes).
  virtual bool Wait(u32 ms) = 0;
};

class Semaphore {
 public:
  virtual ~Semaphore() = default;
  // Adds count; false (and nothing added) when that would pass the maximum or count is not positive.
  virtual bool Release(i32 count) = 0;
  // Takes one count, waiting up to ms for one; false on time-out.
  virtual bool Wait(u32 ms) = 0;
  virtual i32 Count() const = 0;
};

// Recursive: the owning thread may enter again and must leave as often.
class CriticalSection {
 public:
  virtual ~CriticalSection() = default;
  virtual void Enter() = 0;
  virtual void Leave() = 0;
  virtual bool TryEnter() = 0;
};

class SyncService {
 public:
  virtual ~SyncService() = default;
  virtual Event* CreateEvent(bool manualReset, bool initiallySet) = 0;
  // Null when initial is negative or above maximum, or maximum is not positive.
  virtual Semaphore* CreateSemaphore(i32 initial, i32 maximum) = 0;
  virtual CriticalSection* CreateCriticalSection() = 0;
};

SyncService& Sync();
void InstallSync(SyncService* s);  // nullptr restores the host default

}  // namespace Os
