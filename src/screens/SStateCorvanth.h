// Game state 6: the maker's logo, the first state entered after start-up. On a black screen it writes the
// logo stroke by stroke (a block of the revealed picture at each point, a sparkle running ahead), then
// shows the finished logo and a second picture, holds them two seconds and goes to the main menu. A key
// or a pen-down goes there at once.
#pragma once
#include "core/ui/SState.h"
#include "world/SImageCache.h"

class SStateCorvanth : public SState {
 public:
  static constexpr u32 kLayout = 2;
  static constexpr u16 kOriginId = 8, kSecondId = 9;
  static constexpr u32 kStrokes = 14, kMaxPoints = 100;
  static constexpr u32 kStepMs = 100, kHoldMs = 2000;
  // Holders: finished logo, revealed picture, second picture, four sparkles.
  static constexpr u32 kFinished = 0, kRevealed = 1, kSecond = 2, kFirstSparkle = 3, kHolders = 7;
  static constexpr u32 kWriting = 0, kFinishing = 1, kHolding = 2;

  // The data record of a holder on a display mode.
  static u16 RecordFor(u32 holder, i32 displayMode);

  void Attach(SGameCore* gameCore) override;
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override;
  void Leave(u32 next) override;
  u32 OnKey(u32 key) override;
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override;

  i16 points[kStrokes][kMaxPoints][2] = {};
  u16 counts[kStrokes] = {};
  u16 progress[kStrokes] = {};
  i16 delays[kStrokes] = {};
  u32 phase = kWriting;
  u32 stepTime = 0;
  i32 originX = 0, originY = 0, secondX = 0, secondY = 0;
  SImageEntry holders[kHolders];

 private:
  void BuildStrokes();
  u32 ToMenu();
};
