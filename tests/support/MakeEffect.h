// An effect entry in one line, for the suites that build effect lists in code. Header only: it needs the
// world library, which the support library does not link.
#pragma once
#include "world/SEffect.h"

inline SEffect* MakeEffect(u8 kind, i16 base, u8 mode = 3, u8 sub = 0, const char* name = nullptr, i16 perLevel = 0,
                           i16 duration = 0, i16 durationPerLevel = 0, u8 radius = 0) {
  auto* e = new SEffect;
  e->kind = kind;
  e->base = base;
  e->mode = mode;
  e->sub = sub;
  e->SetName(name);
  e->perLevel = perLevel;
  e->duration = duration;
  e->durationPerLevel = durationPerLevel;
  e->radius = radius;
  return e;
}
