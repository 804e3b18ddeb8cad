#include "screens/SStateCorvanth.h"

#include "core/SGameCore.h"
#include "core/SStateNumbers.h"
#include "core/ui/SPlaceControls.h"
#include "foundation/SRandom.h"
#include "foundation/TimeUtil.h"
#include "graphics/SDisplay.h"
#include "platform/hal/Game.h"
#include "screens/SLogoStrokes.h"

u16 SStateCorvanth::RecordFor(u32 holder, i32 displayMode) {
  if (holder >= kHolders) return 0;
  if (holder >= kFirstSparkle) return u16(3524 + holder - kFirstSparkle);
  return u16((SGameCore::IsCompactMode(displayMode) ? 4033 : 3521) + holder);
}

void SStateCorvanth::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  BuildStrokes();
}

void SStateCorvanth::BuildStrokes() {
  const bool compact = core && core->IsCompact();
  const auto strokes = LogoStrokes();
  for (u32 j = 0; j < kStrokes; ++j) {
    counts[j] = 0;
    if (j >= strokes.size()) continue;
    counts[j] = u16(strokes[j].count < kMaxPoints ? strokes[j].count : kMaxPoints);
    delays[j] = strokes[j].delay;
    for (u32 p = 0; p < counts[j]; ++p)
      for (u32 k = 0; k < 2; ++k) {
        const i16 c = strokes[j].points[p][k];
        points[j][p][k] = compact ? CompactLogoCoordinate(c) : c;
      }
  }
}

void SStateCorvanth::Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
  SState::Enter(w0, w1, w2, w3);
  // The delays count down as the strokes wait: every entry starts from the table.
  BuildStrokes();
  for (u16& p : progress) p = 0;
  SetLayout(kLayout);
  SetPos(0, 0);
  // Without a layout entry the logo stands at the screen's corner.
  const SLayoutItem* origin = core ? core->GetLayoutItem(kLayout, kOriginId) : nullptr;
  const SLayoutItem* second = core ? core->GetLayoutItem(kLayout, kSecondId) : nullptr;
  originX = origin ? origin->x : 0;
  originY = origin ? origin->y : 0;
  secondX = second ? second->x : 0;
  secondY = second ? second->y : 0;
  const i32 mode = core ? core->displayMode : 0;
  for (u32 i = 0; i < kHolders; ++i)
    if (!holders[i].IsResident()) LoadDataPicture(data, RecordFor(i, mode), holders[i]);
  phase = kWriting;
  stepTime = Hal::GetTime();
  SetBlackBackground();
  Paint();
  if (display) display->FillRect(0, 0, display->Width(), display->Height(), 0);
  ResetInputGuard();
}

void SStateCorvanth::Leave(u32 next) {
  for (SImageEntry& h : holders) h.Unload();
  SState::Leave(next);
}

u32 SStateCorvanth::ToMenu() {
  params[0] = params[1] = params[2] = params[3] = 0;
  return kStateMain;
}

u32 SStateCorvanth::OnKey(u32 key) { return key ? ToMenu() : 0; }

u32 SStateCorvanth::OnPen(i32, i32, u32 touching, u32 moving) { return touching && !moving ? ToMenu() : 0; }

u32 SStateCorvanth::OnTick(u32 frameCounter, SDisplay* screen) {
  const u32 now = Hal::GetTime();
  if (phase == kHolding) return TicksElapsed(now, stepTime, kHoldMs) ? ToMenu() : 0;
  if (phase == kFinishing) {
    if (display) {
      if (holders[kFinished].image) display->DrawImageOpaque(holders[kFinished].image, originX, originY);
      if (holders[kSecond].image) display->DrawImageOpaque(holders[kSecond].image, secondX, secondY);
    }
    phase = kHolding;
    stepTime = now;
    return SState::OnTick(frameCounter, screen);
  }
  if (!TicksElapsed(now, stepTime, kStepMs)) return 0;
  stepTime = now;
  const SImage* revealed = holders[kRevealed].image;
  bool sparkled = false;
  for (u32 j = 0; j < kStrokes; ++j) {
    if (progress[j] >= counts[j]) continue;
    if (delays[j] > 0) {
      --delays[j];
      continue;
    }
    const u32 at = progress[j];
    auto block = [&](u32 p) {
      const i32 px = points[j][p][0], py = points[j][p][1];
      if (display && revealed) display->DrawImagePartOpaque(revealed, originX + px, originY + py, px, py, 3, 3);
    };
    if (at > 0) block(at - 1);
    block(at);
    if (at + 1 < counts[j]) {
      const u32 which = kFirstSparkle + u32(core && core->random ? core->random->Next(4) : 0);
      if (display && holders[which].image)
        display->DrawImage(holders[which].image, originX + points[j][at][0], originY + points[j][at][1]);
      sparkled = true;
    }
    ++progress[j];
  }
  if (!sparkled) phase = kFinishing;
  return SState::OnTick(frameCounter, screen);
}
