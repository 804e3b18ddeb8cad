// Threads: created suspended or running, with a priority, suspended and resumed by their owner.
//
// A host thread cannot be stopped from outside at an arbitrary instruction, so suspension is cooperative:
// Suspend only raises a count, and the thread itself stops at its next safe point while the count is
// above zero. A thread created suspended runs nothing of its function until it has been resumed.
#pragma once
#include "os/Types.h"

namespace Os {

using ThreadProc = u32 (*)(void* argument);

inline constexpr u32 kWaitForever = 0xFFFFFFFFu;

class Thread {
 public:
  // Deleting a thread waits for its function to return (it must be on its way out: resumed and told to end).
  virtual ~Thread() = default;
  virtual void Suspend() = 0;  // raises the suspend count
  virtual void Resume() = 0;   // lowers it (never below zero); at zero a held thread runs on
  virtual i32 SuspendCount() const = 0;
  virtual void SetPriority(i32 priority) = 0;
  virtual i32 Priority() const = 0;
  // Called by the thread itself: holds it here while its suspend count is above zero.
  virtual void SafePoint() = 0;
  // True while a suspension is asked for; lets the thread give up a lock before it stops at a safe point.
  virtual bool SuspendRequested() const = 0;
  // Waits up to ms for the function to return; true once it has.
  virtual bool Join(u32 ms) = 0;
  virtual u32 ExitCode() const = 0;
};

class ThreadService {
 public:
  virtual ~ThreadService() = default;
  // A new thread running proc(argument); held before proc while created suspended. Null on failure.
  virtual Thread* CreateThread(ThreadProc proc, void* argument, bool suspended) = 0;
};

ThreadService& Threads();
void InstallThreads(ThreadService* s);  // nullptr restores the host default

}  // namespace Os
