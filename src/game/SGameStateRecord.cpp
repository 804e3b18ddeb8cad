#include "game/SGameStateRecord.h"

#include "foundation/SStream.h"
#include "foundation/TimeUtil.h"
#include "game/SMapWindow.h"

namespace {

void Number(SStream& s, i32& v) {
  s.Align(4);
  s.SerializeI32(v);
}

void Number(SStream& s, u32& v) {
  s.Align(4);
  s.SerializeU32(v);
}

i32 Clamp(i32 v, i32 low, i32 high) { return v < low ? low : v > high ? high : v; }

}  // namespace

void SGameStateRecord::Serialize(SStream& s, u32 dataVersion) {
  s.SerializeMarker(kTag);
  Number(s, facing);
  Number(s, cellX);
  Number(s, cellY);
  Number(s, previousX);
  Number(s, previousY);
  Number(s, lastStepDirection);
  Number(s, minutes);
  Number(s, weather);
  s.SerializeSString(forcedSky);
  Number(s, rainIntensity);
  if (s.IsWriting() || dataVersion >= kRainFieldsVersion) {
    Number(s, rainTarget);
    Number(s, rainCountdown);
    Number(s, rainStep);
  }
  Number(s, subMode);
  Number(s, imprisoned);
  Number(s, sentenceBegan);
  s.SerializeSString(prisonMap);
}

bool SGameStateRecord::Validate() {
  for (i32 v : {cellX, cellY, previousX, previousY})
    if (v < 0 || v >= SMapWindow::kSize) return false;
  if (lastStepDirection < 0 || lastStepDirection > 3) return false;
  facing = PositiveMod(facing, 360) / 90 * 90;
  weather = Clamp(weather, 0, 100);
  rainIntensity = Clamp(rainIntensity, 0, 999);
  rainTarget = Clamp(rainTarget, 0, 999);
  // The countdown only ever counts down to 0; 65535 stands for no rain.
  rainCountdown = Clamp(rainCountdown, 0, 65535);
  rainStep = Clamp(rainStep, -1, 1);
  subMode = 1;
  return true;
}
