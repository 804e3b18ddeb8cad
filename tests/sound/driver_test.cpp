// The wave-out driver over the headless device: block geometry, the feeder ring, pause and close, and
// every result code; the Os thread and synchronisation services it stands on.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "SoundKit.h"
#include "os/Sync.h"
#include "platform/sound/audWinMM.h"

using namespace soundkit;

namespace {

// Fills each block with its refill number (1, 2, 3, ...), so the captured output shows the order.
struct Filler {
  std::atomic<u32> calls{0};
  static void Fill(std::uintptr_t user, u8* block, u32 bytes) {
    auto* f = reinterpret_cast<Filler*>(user);
    const u32 n = ++f->calls;
    std::memset(block, int(n), bytes);
  }
};

const audFormat kSpeakerFormat{44100, 18, 1};

class Driver : public SimAudio {
 protected:
  void TearDown() override {
    driver.Close();
    SimAudio::TearDown();
  }
  i32 Open(const audFormat& format = kSpeakerFormat, u32 frames = 7938) {
    return driver.Open(&format, frames, &Filler::Fill, std::uintptr_t(&filler));
  }
  // Byte value of each played block, in order.
  std::vector<int> PlayedBlocks() const {
    std::vector<int> out;
    const std::vector<u8> bytes = sim.Captured();
    for (size_t at = 0; at < bytes.size(); at += driver.BlockLength()) out.push_back(bytes[at]);
    return out;
  }
  audWinMM driver;
  Filler filler;
};

TEST_F(Driver, BlockGeometryFollowsTheFormatAndLatency) {
  struct Case {
    audFormat format;
    u32 frames;
    u32 blocks, blockLength;
    u8 silence;
  } cases[] = {
      {{44100, 18, 1}, 7938, 6, 2648, 0},    // 180 ms, 2,646 rounded up to a multiple of 8
      {{44100, 18, 1}, 5000, 4, 2648, 0},    // 113 ms: raised to 4 blocks
      {{44100, 18, 1}, 44100, 32, 2648, 0},  // 1 s: lowered to 32
      {{22050, 1, 1}, 22050, 32, 664, 128},  // 8-bit: 661.5 -> 664, silence is 128
      {{22050, 2, 2}, 2205, 4, 2648, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frames);
    ASSERT_EQ(Open(c.format, c.frames), 0);
    EXPECT_EQ(driver.BlockCount(), c.blocks);
    EXPECT_EQ(driver.BlockLength(), c.blockLength);
    EXPECT_TRUE(driver.IsPaused());
    EXPECT_TRUE(sim.Paused());
    EXPECT_EQ(sim.Queued(), c.blocks);  // all blocks of silence queued on the paused device
    EXPECT_EQ(sim.Format().bitsPerSample, (c.format.flags & 2) ? 16 : 8);
    EXPECT_EQ(sim.Format().blockAlign, sim.Format().bitsPerSample / 8 * c.format.channels);
    driver.Resume();
    EXPECT_EQ(sim.PlayBlocks(1), 1u);
    const std::vector<u8> first = sim.Captured();
    EXPECT_EQ(first, std::vector<u8>(c.blockLength, c.silence));
    EXPECT_EQ(driver.Close(), 0);
    sim.ClearCaptured();
  }
}

TEST_F(Driver, ResultCodes) {
  const audFormat bad[] = {{44100, 0, 1},  {44100, 0x11, 1}, {44100, 0x22, 1},
                           {44100, 18, 0}, {44100, 18, 3},   {0, 18, 1}};
  for (const audFormat& f : bad) {
    EXPECT_EQ(Open(f), -1);
    EXPECT_FALSE(driver.IsOpen());
  }
  EXPECT_EQ(driver.Open(nullptr, 7938, &Filler::Fill, 0), -1);
  EXPECT_EQ(driver.Open(&kSpeakerFormat, 7938, nullptr, 0), -1);
  EXPECT_EQ(driver.Close(), -3);
  EXPECT_EQ(threads->created.load(), 0);

  threads->failNext = true;
  EXPECT_EQ(Open(), -4);
  EXPECT_FALSE(driver.IsOpen());
  EXPECT_EQ(sim.OpenAttempts(), 0u);

  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(Open(), -2);
  EXPECT_EQ(driver.FeederThread()->Priority(), 1);
  EXPECT_EQ(driver.Close(), 0);
  EXPECT_EQ(driver.Close(), -3);
  EXPECT_EQ(threads->alive.load(), 0);
}

TEST_F(Driver, NoDeviceEndsTheFeederAndFreesEverything) {
  sim.SetDeviceCount(0);
  EXPECT_EQ(Open(), -1);
  sim.SetDeviceCount(3);
  sim.FailOpensBelow(3);
  EXPECT_EQ(Open(), -1);
  EXPECT_EQ(sim.OpenAttempts(), 3u);  // every device was tried
  EXPECT_EQ(threads->created.load(), 2);
  EXPECT_EQ(threads->alive.load(), 0);
  EXPECT_FALSE(driver.IsOpen());

  // The first device that opens wins.
  sim.FailOpensBelow(2);
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(sim.OpenedId(), 2u);
}

TEST_F(Driver, FeederRefillsInRingOrderOnePerCompletedBlock) {
  ASSERT_EQ(Open(), 0);  // 6 blocks
  driver.Resume();
  EXPECT_FALSE(sim.Paused());
  u64 writes = sim.Writes();
  ASSERT_EQ(writes, 6u);
  for (u32 round = 0; round < 9; ++round) {
    ASSERT_EQ(sim.PlayBlocks(1), 1u);
    ASSERT_TRUE(sim.WaitForWrites(++writes));
    driver.Lock();  // the feeder holds the lock for its whole refill
    EXPECT_EQ(driver.NextBlock(), (round + 1) % 6);
    driver.Unlock();
    EXPECT_EQ(sim.Queued(), 6u);
  }
  ASSERT_EQ(sim.PlayBlocks(6), 6u);
  ASSERT_TRUE(sim.WaitForWrites(21));
  ASSERT_EQ(sim.PlayBlocks(6), 6u);
  // 6 silent blocks, then the refills in the order they were made: each refill reuses the block that
  // finished, so the ring plays 1, 2, 3, ... with no gap and no repeat.
  std::vector<int> expected(6, 0);
  for (int n = 1; n <= 15; ++n) expected.push_back(n);
  ASSERT_TRUE(sim.WaitForWrites(6 + 21));
  EXPECT_EQ(PlayedBlocks(), expected);
  EXPECT_EQ(filler.calls.load(), 21u);
}

TEST_F(Driver, PauseHoldsTheFeederWithoutLosingABlock) {
  ASSERT_EQ(Open(), 0);
  driver.Resume();
  // Completed blocks reach the feeder while the test holds the driver lock; the pause lands before the
  // feeder can refill them.
  driver.Lock();
  ASSERT_EQ(sim.PlayBlocks(3), 3u);
  driver.Pause();
  EXPECT_TRUE(sim.Paused());
  driver.Unlock();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(sim.Writes(), 6u);
  EXPECT_EQ(filler.calls.load(), 0u);
  EXPECT_EQ(sim.PlayBlocks(1), 0u);  // the device plays nothing while paused

  driver.Pause();  // a second pause changes nothing
  driver.Resume();
  ASSERT_TRUE(sim.WaitForWrites(9));
  EXPECT_EQ(filler.calls.load(), 3u);
  EXPECT_FALSE(sim.Paused());
  driver.Resume();  // already running: nothing
  EXPECT_EQ(driver.FeederThread()->SuspendCount(), 0);
  ASSERT_EQ(sim.PlayBlocks(6), 6u);
  EXPECT_EQ(PlayedBlocks(), (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 2, 3}));
}

TEST_F(Driver, CloseEndsAPausedOrNeverStartedFeeder) {
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(driver.Close(), 0);  // never resumed
  EXPECT_EQ(threads->alive.load(), 0);

  ASSERT_EQ(Open(), 0);
  driver.Resume();
  ASSERT_EQ(sim.PlayBlocks(2), 2u);
  ASSERT_TRUE(sim.WaitForWrites(8));
  driver.Pause();
  EXPECT_EQ(driver.Close(), 0);
  EXPECT_EQ(threads->alive.load(), 0);
  EXPECT_FALSE(sim.IsOpen());
  EXPECT_EQ(sim.Resets(), 2u);
  EXPECT_TRUE(driver.IsPaused());  // the paused flag keeps its value
  // Lock, unlock, pause and resume do nothing on a closed driver: there is no feeder or device to touch.
  driver.Lock();
  driver.Unlock();
  driver.Resume();
  EXPECT_TRUE(driver.IsPaused());
  driver.Pause();
  EXPECT_FALSE(sim.IsOpen());
  EXPECT_EQ(sim.Resets(), 2u);
}

TEST(OsSync, SemaphoreEventAndThreadBasics) {
  Os::SyncService& sync = Os::Sync();
  std::unique_ptr<Os::Semaphore> sem(sync.CreateSemaphore(0, 2));
  EXPECT_EQ(sync.CreateSemaphore(3, 2), nullptr);
  EXPECT_FALSE(sem->Wait(0));
  EXPECT_TRUE(sem->Release(2));
  EXPECT_FALSE(sem->Release(1));  // past the maximum: refused, count unchanged
  EXPECT_TRUE(sem->Wait(0));
  EXPECT_TRUE(sem->Wait(0));
  EXPECT_FALSE(sem->Wait(1));

  std::unique_ptr<Os::Event> autoReset(sync.CreateEvent(false, true));
  EXPECT_TRUE(autoReset->Wait(0));
  EXPECT_FALSE(autoReset->Wait(0));  // cleared by the waiter it woke
  std::unique_ptr<Os::Event> manual(sync.CreateEvent(true, false));
  manual->Set();
  EXPECT_TRUE(manual->Wait(0));
  EXPECT_TRUE(manual->Wait(0));

  std::unique_ptr<Os::CriticalSection> cs(sync.CreateCriticalSection());
  cs->Enter();
  cs->Enter();  // recursive
  cs->Leave();
  cs->Leave();

  // A thread created suspended runs nothing until resumed.
  static std::atomic<int> ran{0};
  static u32 code = 7;
  ran = 0;
  std::unique_ptr<Os::Thread> t(Os::Threads().CreateThread(
      [](void* arg) -> u32 {
        ++ran;
        return *static_cast<u32*>(arg);
      },
      &code, true));
  EXPECT_FALSE(t->Join(20));
  EXPECT_EQ(ran.load(), 0);
  t->Resume();
  EXPECT_TRUE(t->Join(Os::kWaitForever));
  EXPECT_EQ(ran.load(), 1);
  EXPECT_EQ(t->ExitCode(), 7u);
}

}  // namespace
