// The rule tables the world fuzz targets work their records against, with a player attached; made once
// per fuzzing process and never destroyed, as the fuzzer may exit from any input.
#pragma once
#include "player/SPlayer.h"
#include "world/SWorldRules.h"

inline SWorldRules& Rules() {
  static SWorldRules* rules = [] {
    auto* r = new SWorldRules;
    static SPlayer player;
    player.AttachRules(r);
    return r;
  }();
  return *rules;
}
