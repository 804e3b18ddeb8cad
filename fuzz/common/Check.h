// A check of what a fuzz target's input led to: a failed one names its file and line and aborts, so that
// the fuzzer keeps the input.
#pragma once
#include <cstdio>
#include <cstdlib>

inline void FuzzCheck(bool ok, const char* file, int line) {
  if (ok) return;
  std::fprintf(stderr, "%s:%d: a check failed\n", file, line);
  std::abort();
}

#define CHECK(condition) FuzzCheck(condition, __FILE__, __LINE__)
