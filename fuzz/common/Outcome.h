// What an input led to, folded into one number and printed on the standard output when the environment
// names DUSKMIRE_FUZZ_OUTCOMES: scripts/fuzz-replay runs each seed alone and after the others and compares
// the numbers, so that state a target keeps between inputs is shown to change nothing an input does (and a
// crash found in a long run reproduces from its input alone). Folding costs nothing when not asked for.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

// FNV-1a over what is added, computed only when outcomes are asked for.
class FuzzHash {
 public:
  static bool Wanted() {
    static const bool wanted = std::getenv("DUSKMIRE_FUZZ_OUTCOMES") != nullptr;
    return wanted;
  }
  void Add(const void* bytes, size_t size) {
    if (!Wanted()) return;
    for (size_t i = 0; i < size; ++i) hash_ = (hash_ ^ static_cast<const uint8_t*>(bytes)[i]) * 0x100000001b3ull;
  }
  template <class T>
  void Add(std::span<T> items) {
    Add(items.data(), items.size_bytes());
  }
  void AddValue(uint64_t value) { Add(&value, sizeof value); }
  uint64_t Value() const { return hash_; }

 private:
  uint64_t hash_ = 0xcbf29ce484222325ull;
};

// One input's outcome: printed when it goes out of scope.
class FuzzOutcome : public FuzzHash {
 public:
  FuzzOutcome() = default;
  FuzzOutcome(const FuzzOutcome&) = delete;
  FuzzOutcome& operator=(const FuzzOutcome&) = delete;
  ~FuzzOutcome() {
    if (Wanted()) std::printf("outcome %016llx\n", static_cast<unsigned long long>(Value()));
  }
};
