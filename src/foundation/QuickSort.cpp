#include "foundation/QuickSort.h"

#include <cstring>
#include <utility>

void SwapBytes(void* a, void* b, u32 n) {
  if (a == b || !n) return;
  u8* x = static_cast<u8*>(a);
  u8* y = static_cast<u8*>(b);
  for (u32 i = 0; i < n; ++i) {
    u8 t = x[i];
    x[i] = y[i];
    y[i] = t;
  }
}

// Selection pass: the largest record (the first of equal ones) goes to the end, repeatedly.
void ShortSort(u8* lo, u8* hi, u32 size, SCompareFn compare) {
  while (hi > lo) {
    u8* max = lo;
    for (u8* p = lo + size; p <= hi; p += size)
      if (compare(p, max) > 0) max = p;
    SwapBytes(max, hi, size);
    hi -= size;
  }
}

void QuickSort(void* base, u32 n, u32 size, SCompareFn compare) {
  if (n < 2 || !size || !base || !compare) return;
  struct Range {
    u8* lo;
    u8* hi;
  };
  Range stack[64];
  int depth = 0;
  u8* lo = static_cast<u8*>(base);
  u8* hi = lo + u64(n - 1) * size;
  for (;;) {
    u64 count = u64(hi - lo) / size + 1;
    if (count <= 8) {
      ShortSort(lo, hi, size, compare);
    } else {
      u8* mid = lo + (count / 2) * size;
      SwapBytes(mid, lo, size);
      u8* left = lo;
      u8* right = hi + size;
      for (;;) {
        do {
          left += size;
        } while (left <= hi && compare(left, lo) <= 0);
        do {
          right -= size;
        } while (right > lo && compare(right, lo) >= 0);
        if (right < left) break;
        SwapBytes(left, right, size);
      }
      SwapBytes(lo, right, size);
      // Sub-ranges [lo, right - 1] and [left, hi]; the larger waits on the stack.
      u8* aLo = lo;
      u8* aHi = right - size;
      u8* bLo = left;
      u8* bHi = hi;
      u64 aCount = right > lo ? u64(right - lo) / size : 0;
      u64 bCount = hi >= left ? u64(hi - left) / size + 1 : 0;
      if (aCount < bCount) {
        std::swap(aLo, bLo);
        std::swap(aHi, bHi);
        std::swap(aCount, bCount);
      }
      // a is the larger now
      if (aCount >= 2) stack[depth++] = {aLo, aHi};
      if (bCount >= 2) {
        lo = bLo;
        hi = bHi;
        continue;
      }
    }
    if (depth == 0) return;
    --depth;
    lo = stack[depth].lo;
    hi = stack[depth].hi;
  }
}
