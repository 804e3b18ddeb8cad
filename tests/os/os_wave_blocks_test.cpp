// The block rules both wave-out backends keep: only prepared blocks queue, a queued block cannot be
// unprepared, and blocks complete in queue order marked done.
#include "os/WaveBlockQueue.h"

#include <gtest/gtest.h>

namespace {

using Os::WaveBlock;
using Os::WaveBlockQueue;

TEST(WaveBlockQueue, BlocksQueueOnlyPreparedAndCompleteInOrder) {
  u8 memory[3][4] = {};
  WaveBlock a{memory[0], 4}, b{memory[1], 4}, c{memory[2], 4};
  WaveBlock empty{nullptr, 4};
  WaveBlockQueue queue;

  EXPECT_EQ(WaveBlockQueue::Prepare(nullptr), Os::kWaveInvalidParam);
  EXPECT_EQ(WaveBlockQueue::Prepare(&empty), Os::kWaveInvalidParam);
  EXPECT_EQ(queue.Write(&a), Os::kWaveUnprepared);
  EXPECT_TRUE(queue.Empty());

  for (WaveBlock* block : {&a, &b, &c}) {
    ASSERT_EQ(WaveBlockQueue::Prepare(block), Os::kWaveOk);
    block->flags |= Os::kWaveBlockDone;  // played before: writing it again clears done
    ASSERT_EQ(queue.Write(block), Os::kWaveOk);
    EXPECT_EQ(block->flags, Os::kWaveBlockPrepared | Os::kWaveBlockQueued);
  }
  EXPECT_EQ(queue.Size(), 3u);
  EXPECT_EQ(WaveBlockQueue::Unprepare(&a), Os::kWaveStillPlaying);

  EXPECT_EQ(queue.Front(), &a);
  EXPECT_EQ(queue.CompleteFront(), &a);
  EXPECT_EQ(a.flags, Os::kWaveBlockPrepared | Os::kWaveBlockDone);
  EXPECT_EQ(WaveBlockQueue::Unprepare(&a), Os::kWaveOk);
  EXPECT_EQ(a.flags, Os::kWaveBlockDone);

  std::deque<WaveBlock*> rest = queue.CompleteAll();
  ASSERT_EQ(rest.size(), 2u);
  EXPECT_EQ(rest[0], &b);
  EXPECT_EQ(rest[1], &c);
  EXPECT_EQ(c.flags, Os::kWaveBlockPrepared | Os::kWaveBlockDone);
  EXPECT_TRUE(queue.Empty());
  EXPECT_EQ(queue.CompleteFront(), nullptr);
  EXPECT_EQ(queue.Front(), nullptr);
}

}  // namespace
