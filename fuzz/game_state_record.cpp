// Reads arbitrary bytes as the game state's saved record (the first byte picks the data version: below
// 128 the version without the rain's last three fields), checks what a record that passes its test may
// hold, and writes it back to read it again unchanged.
#include "common/Outcome.h"
#include "foundation/SStream.h"
#include "game/SGameStateRecord.h"
#include "game/SMapWindow.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void Check(bool ok, int line) {
  if (ok) return;
  std::fprintf(stderr, "game_state_record.cpp:%d: a check failed\n", line);
  std::abort();
}

}  // namespace

#define CHECK(condition) Check(condition, __LINE__)

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size < 1) return 0;
  FuzzOutcome outcome;
  const u32 version = data[0] < 128 ? 98 : 110;
  SStream in;
  in.OpenForRead(data + 1, u32(size - 1));
  SGameStateRecord r;
  r.Serialize(in, version);
  if (in.Failed() || !r.Validate()) return 0;
  CHECK(r.cellX >= 0 && r.cellX < SMapWindow::kSize && r.cellY >= 0 && r.cellY < SMapWindow::kSize);
  CHECK(r.previousX >= 0 && r.previousX < SMapWindow::kSize && r.previousY >= 0 && r.previousY < SMapWindow::kSize);
  CHECK(r.lastStepDirection >= 0 && r.lastStepDirection <= 3);
  CHECK(r.facing >= 0 && r.facing < 360 && r.facing % 90 == 0);
  CHECK(r.weather >= 0 && r.weather <= 100 && r.rainIntensity >= 0 && r.rainIntensity <= 999);
  CHECK(r.rainTarget >= 0 && r.rainTarget <= 999 && r.rainStep >= -1 && r.rainStep <= 1);
  CHECK(r.rainCountdown >= 0 && r.rainCountdown <= 65535 && r.subMode == 1);

  SStream out;
  // The texts are as long as the input lets them be.
  if (!out.OpenForWriteOwned(u32(size) + 64)) return 0;
  r.Serialize(out, SGameStateRecord::kRainFieldsVersion);
  CHECK(out.Ok());
  SStream again;
  outcome.Add(out.Data(), out.BytesUsed());
  again.OpenForRead(out.Data(), out.BytesUsed());
  SGameStateRecord copy;
  copy.Serialize(again, SGameStateRecord::kRainFieldsVersion);
  CHECK(again.Ok() && copy.Validate());
  CHECK(copy.facing == r.facing && copy.cellX == r.cellX && copy.cellY == r.cellY && copy.minutes == r.minutes);
  CHECK(copy.rainTarget == r.rainTarget && copy.rainCountdown == r.rainCountdown && copy.rainStep == r.rainStep);
  CHECK(std::strcmp(copy.forcedSky.CStr() ? copy.forcedSky.CStr() : "", r.forcedSky.CStr() ? r.forcedSky.CStr() : "") ==
        0);
  CHECK(std::strcmp(copy.prisonMap.CStr() ? copy.prisonMap.CStr() : "", r.prisonMap.CStr() ? r.prisonMap.CStr() : "") ==
        0);
  return 0;
}
