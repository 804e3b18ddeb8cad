// The game state's own record in a saved game (record 3004): the player's place and facing, the clock,
// the weather and rain, and the prison. It is read into this plain record first and checked there, so
// that a damaged file is refused before anything of the running game changes.
#pragma once
#include "foundation/SString.h"

class SStream;

struct SGameStateRecord {
  static constexpr u8 kTag = 'W';
  // The rain's target, countdown and step are stored from this data version on.
  static constexpr u32 kRainFieldsVersion = 99;

  i32 facing = 0;  // degrees
  i32 cellX = 0, cellY = 0;
  i32 previousX = 0, previousY = 0;
  i32 lastStepDirection = 0;  // 0..3, an index into the step tables
  u32 minutes = 0;
  i32 weather = 0;
  SString forcedSky;
  i32 rainIntensity = 0;
  i32 rainTarget = 0;
  i32 rainCountdown = 65535;
  i32 rainStep = 0;
  i32 subMode = 1;
  u32 imprisoned = 0;
  u32 sentenceBegan = 0;
  SString prisonMap;

  // One transfer for both directions. Writing writes every field; reading takes the rain's target,
  // countdown and step only from data version 99 on and otherwise leaves them as they are. Failures show
  // in the stream's Failed().
  void Serialize(SStream& s, u32 dataVersion);
  // Fits a record just read to what the game can hold: false (refused) when a cell lies outside the
  // 35 x 35 window or the step direction is not 0..3; otherwise the facing becomes a quarter turn in
  // 0..359, weather and rain are clamped to their ranges and the sub-mode becomes walking.
  bool Validate();
};
