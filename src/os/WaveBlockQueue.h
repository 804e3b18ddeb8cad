// The block bookkeeping that every wave-out device shares: a block is prepared, queued behind the others,
// and completed (done, no longer queued) when it has played or when the device is reset. Not locked: a
// device calls it under its own lock.
#pragma once
#include <deque>

#include "os/WaveOut.h"

namespace Os {

class WaveBlockQueue {
 public:
  // kWaveInvalidParam for a missing block or one without memory.
  static u32 Prepare(WaveBlock* block);
  // kWaveStillPlaying while the block is queued.
  static u32 Unprepare(WaveBlock* block);
  // Queues a prepared block behind the others; kWaveUnprepared for one that is not.
  u32 Write(WaveBlock* block);

  bool Empty() const { return blocks_.empty(); }
  u32 Size() const { return u32(blocks_.size()); }
  WaveBlock* Front() const { return blocks_.empty() ? nullptr : blocks_.front(); }
  // Takes the front block off the queue, marked done; null when the queue is empty.
  WaveBlock* CompleteFront();
  // Takes every block off, marked done, in queue order.
  std::deque<WaveBlock*> CompleteAll();

 private:
  static void MarkDone(WaveBlock* block) { block->flags = (block->flags & ~kWaveBlockQueued) | kWaveBlockDone; }

  std::deque<WaveBlock*> blocks_;
};

}  // namespace Os
