// The program's own sort; the order of equal records follows from its exact steps.
#pragma once
#include "os/Types.h"

using SCompareFn = int (*)(const void* a, const void* b);

void QuickSort(void* base, u32 n, u32 size, SCompareFn compare);
void ShortSort(u8* lo, u8* hi, u32 size, SCompareFn compare);
void SwapBytes(void* a, void* b, u32 n);
