#include "os/WaveBlockQueue.h"

namespace Os {

u32 WaveBlockQueue::Prepare(WaveBlock* block) {
  if (block == nullptr || block->data == nullptr) {
    return kWaveInvalidParam;
  }
  block->flags |= kWaveBlockPrepared;
  return kWaveOk;
}

u32 WaveBlockQueue::Unprepare(WaveBlock* block) {
  if (block == nullptr) {
    return kWaveInvalidParam;
  }
  if (block->flags & kWaveBlockQueued) {
    return kWaveStillPlaying;
  }
  block->flags &= ~kWaveBlockPrepared;
  return kWaveOk;
}

u32 WaveBlockQueue::Write(WaveBlock* block) {
  if (block == nullptr) {
    return kWaveInvalidParam;
  }
  if (!(block->flags & kWaveBlockPrepared)) {
    return kWaveUnprepared;
  }
  block->flags = (block->flags & ~kWaveBlockDone) | kWaveBlockQueued;
  blocks_.push_back(block);
  return kWaveOk;
}

WaveBlock* WaveBlockQueue::CompleteFront() {
  if (blocks_.empty()) {
    return nullptr;
  }
  WaveBlock* block = blocks_.front();
  blocks_.pop_front();
  MarkDone(block);
  return block;
}

std::deque<WaveBlock*> WaveBlockQueue::CompleteAll() {
  std::deque<WaveBlock*> done;
  done.swap(blocks_);
  for (WaveBlock* block : done) {
    MarkDone(block);
  }
  return done;
}

}  // namespace Os
