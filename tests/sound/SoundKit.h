// Small builders and fixtures for the sound tests: RIFF wave images, tracker modules made cell by cell,
// a speaker over the headless wave-out, and a thread service that counts live threads.
#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "os/Thread.h"
#include "os/WaveOut.h"
#include "os/headless/SimWaveOut.h"
#include "platform/sound/audMusic.h"
#include "platform/sound/audSpeaker.h"

namespace soundkit {

inline void Put16(std::vector<u8>& v, u32 at, u32 x) {
  v[at] = u8(x);
  v[at + 1] = u8(x >> 8);
}
inline void Put32(std::vector<u8>& v, u32 at, u32 x) {
  for (int i = 0; i < 4; ++i) v[at + i] = u8(x >> (8 * i));
}
inline void Append(std::vector<u8>& v, const char* id, const std::vector<u8>& body) {
  v.insert(v.end(), id, id + 4);
  const u32 n = u32(body.size());
  for (int i = 0; i < 4; ++i) v.push_back(u8(n >> (8 * i)));
  v.insert(v.end(), body.begin(), body.end());
}

// A RIFF wave image: "fmt " first, then the given extra chunks, then "data".
inline std::vector<u8> MakeWave(u16 channels, u32 rate, u16 bits, const std::vector<u8>& data,
                                const std::vector<std::pair<std::string, std::vector<u8>>>& extra = {}) {
  std::vector<u8> fmt(16, 0);
  Put16(fmt, 0, 1);
  Put16(fmt, 2, channels);
  Put32(fmt, 4, rate);
  Put32(fmt, 8, rate * channels * bits / 8);
  Put16(fmt, 12, u16(channels * bits / 8));
  Put16(fmt, 14, bits);
  std::vector<u8> w = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  Append(w, "fmt ", fmt);
  for (const auto& [id, body] : extra) Append(w, id.c_str(), body);
  Append(w, "data", data);
  Put32(w, 4, u32(w.size() - 8));
  return w;
}

inline std::vector<u8> Samples16(const std::vector<i16>& s) {
  std::vector<u8> out;
  for (i16 v : s) {
    out.push_back(u8(u16(v)));
    out.push_back(u8(u16(v) >> 8));
  }
  return out;
}

// A tracker module made in memory: header, patterns and samples, with the parts a music plays.
class Module {
 public:
  explicit Module(u32 tracks = 4, const char* tag = nullptr) : tracks_(tracks), header_(audModuleHeaderSize, 0) {
    const char* t = tag != nullptr ? tag : (tracks == 4 ? "M.K." : nullptr);
    char buf[5];
    if (t == nullptr) {
      std::snprintf(buf, sizeof buf, tracks < 10 ? "%uCHN" : "%uCH", tracks);
      t = buf;
    }
    std::memcpy(&header_[audModule::kTag], t, 4);
    header_[audModule::kSongLength] = 1;
    header_[audModule::kRestart] = 127;
  }
  // Sample n (1..31) with its data; lengths in bytes (even).
  void SetSample(u32 n, std::vector<i8> data, u8 volume = 64, u8 finetune = 0, u32 loopStartBytes = 0,
                 u32 loopBytes = 0) {
    const u32 at = audModule::kSampleHeaders + audModule::kSampleHeaderSize * (n - 1);
    if (data.size() % 2) data.push_back(0);
    const u32 words = u32(data.size() / 2);
    header_[at + 22] = u8(words >> 8);
    header_[at + 23] = u8(words);
    header_[at + 24] = finetune;
    header_[at + 25] = volume;
    header_[at + 26] = u8((loopStartBytes / 2) >> 8);
    header_[at + 27] = u8(loopStartBytes / 2);
    header_[at + 28] = u8((loopBytes / 2) >> 8);
    header_[at + 29] = u8(loopBytes / 2);
    if (samples_.size() < n) samples_.resize(n);
    samples_[n - 1] = std::move(data);
  }
  void SetOrders(const std::vector<u8>& orders) {
    header_[audModule::kSongLength] = u8(orders.size());
    for (size_t i = 0; i < orders.size() && i < 128; ++i) header_[audModule::kOrders + i] = orders[i];
    u32 highest = 0;
    for (u8 o : orders) highest = o > highest ? o : highest;
    while (patterns_.size() <= highest) patterns_.emplace_back(audModuleRows * tracks_ * 4, 0);
  }
  void SetCell(u32 pattern, u32 row, u32 track, u32 sample, u32 period, u32 effect = 0, u32 param = 0) {
    while (patterns_.size() <= pattern) patterns_.emplace_back(audModuleRows * tracks_ * 4, 0);
    u8* c = &patterns_[pattern][(row * tracks_ + track) * 4];
    c[0] = u8((sample & 0xF0) | ((period >> 8) & 0x0F));
    c[1] = u8(period);
    c[2] = u8(((sample & 0x0F) << 4) | (effect & 0x0F));
    c[3] = u8(param);
  }
  std::vector<u8>& Header() { return header_; }
  std::vector<std::vector<u8>>& Patterns() { return patterns_; }

  // Fills the tables a music plays from (pointers into this module).
  void Parts() {
    if (patterns_.empty()) patterns_.emplace_back(audModuleRows * tracks_ * 4, 0);
    table_.assign(patterns_.size(), audPattern{});
    for (size_t p = 0; p < patterns_.size(); ++p) {
      table_[p].cells = patterns_[p].empty() ? nullptr : patterns_[p].data();
      table_[p].bytes = u32(patterns_[p].size());
    }
    sampleTable_ = audSampleTable{};
    for (size_t s = 0; s < samples_.size() && s < 31; ++s) {
      const auto& d = samples_[s];
      if (d.empty()) continue;
      const u32 n = u32(d.size());
      sampleTable_.sample[s].first = d.data();
      sampleTable_.sample[s].firstBytes = n < audSecondPartStart ? n : audSecondPartStart;
      if (n > audSecondPartStart) {
        sampleTable_.sample[s].second = d.data() + audSecondPartStart;
        sampleTable_.sample[s].secondBytes = n - audSecondPartStart;
      }
    }
  }
  audMusic& Music(bool loop = false) {
    Parts();
    music_.Load(header_.data(), table_.data(), u32(table_.size()), &sampleTable_);
    music_.loop = loop ? 1 : 0;
    return music_;
  }
  audSampleTable& SampleTable() { return sampleTable_; }
  std::vector<audPattern>& PatternTable() { return table_; }

  // The whole module as a file image.
  std::vector<u8> File() const {
    std::vector<u8> out = header_;
    for (const auto& p : patterns_) out.insert(out.end(), p.begin(), p.end());
    for (u32 s = 0; s < 31; ++s) {
      const u32 at = audModule::kSampleHeaders + audModule::kSampleHeaderSize * s;
      const u32 bytes = (u32(header_[at + 22]) << 8 | header_[at + 23]) * 2;
      std::vector<i8> d = s < samples_.size() ? samples_[s] : std::vector<i8>{};
      d.resize(bytes, 0);
      out.insert(out.end(), reinterpret_cast<const u8*>(d.data()), reinterpret_cast<const u8*>(d.data()) + bytes);
    }
    return out;
  }

 private:
  u32 tracks_;
  std::vector<u8> header_;
  std::vector<std::vector<u8>> patterns_;
  std::vector<std::vector<i8>> samples_;
  std::vector<audPattern> table_;
  audSampleTable sampleTable_{};
  audMusic music_;
};

// A speaker whose mixer may write other output forms than the driver's.
class TestSpeaker : public audSpeaker {
 public:
  using audSpeaker::UseOutputFormat;
};

// A thread service over the host one that counts the threads alive.
class CountingThreads : public Os::ThreadService {
 public:
  CountingThreads() : host_(&Os::Threads()) {}
  Os::Thread* CreateThread(Os::ThreadProc proc, void* argument, bool suspended) override {
    if (failNext) {
      failNext = false;
      return nullptr;
    }
    Os::Thread* t = host_->CreateThread(proc, argument, suspended);
    if (t == nullptr) return nullptr;
    ++created;
    return new Counted(t, &alive);
  }
  std::atomic<int> created{0};
  std::atomic<int> alive{0};
  bool failNext = false;

 private:
  class Counted : public Os::Thread {
   public:
    Counted(Os::Thread* t, std::atomic<int>* alive) : t_(t), alive_(alive) { ++*alive_; }
    ~Counted() override {
      delete t_;
      --*alive_;
    }
    void Suspend() override { t_->Suspend(); }
    void Resume() override { t_->Resume(); }
    i32 SuspendCount() const override { return t_->SuspendCount(); }
    void SetPriority(i32 p) override { t_->SetPriority(p); }
    i32 Priority() const override { return t_->Priority(); }
    void SafePoint() override { t_->SafePoint(); }
    bool SuspendRequested() const override { return t_->SuspendRequested(); }
    bool Join(u32 ms) override { return t_->Join(ms); }
    u32 ExitCode() const override { return t_->ExitCode(); }

   private:
    Os::Thread* t_;
    std::atomic<int>* alive_;
  };
  Os::ThreadService* host_;
};

// The headless wave-out and a counted thread service installed for one test.
class SimAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    Os::InstallThreads(nullptr);
    threads = std::make_unique<CountingThreads>();
    Os::InstallThreads(threads.get());
    Os::InstallWaveOut(&sim);
  }
  void TearDown() override {
    Os::InstallWaveOut(nullptr);
    Os::InstallThreads(nullptr);
  }
  Os::SimWaveOut sim;
  std::unique_ptr<CountingThreads> threads;
};

// An open speaker over the headless wave-out; its feeder stays idle until the test plays blocks, so the
// test may call Mix itself.
class SpeakerTest : public SimAudio {
 protected:
  void SetUp() override {
    SimAudio::SetUp();
    ASSERT_EQ(speaker.Open(44100, 16), 0);
  }
  void TearDown() override {
    speaker.Close();
    SimAudio::TearDown();
  }
  // Mixes n 16-bit output samples (frames times channels).
  std::vector<i16> MixSamples(u32 n) {
    std::vector<u8> block(n * 2);
    speaker.Mix(block.data(), u32(block.size()));
    std::vector<i16> out(n);
    for (u32 i = 0; i < n; ++i) out[i] = i16(u16(block[2 * i] | block[2 * i + 1] << 8));
    return out;
  }
  TestSpeaker speaker;
};

}  // namespace soundkit
