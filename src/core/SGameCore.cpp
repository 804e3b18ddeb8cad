#include "core/SGameCore.h"

#include "core/ui/SState.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "platform/hal/Display.h"
#include "platform/hal/DisplayModes.h"
#include "platform/sound/SSoundManager.h"
#include "script/SScriptContext.h"
#include "script/SScriptInterpreter.h"

#include <new>

SGameCore::SGameCore() : data(&fileStore) { saveGame.SetCore(this); }

SGameCore::~SGameCore() {
  // The states first: they may still refer to anything else the core holds.
  for (SState*& state : ownStates_) {
    delete state;
    state = nullptr;
  }
  delete ownContext_;
  delete scriptInterpreter;
  for (SImageEntry*& slot : pictures) {
    delete slot;
    slot = nullptr;
  }
  ReleaseRolePictures();
  // The mixer may still play a click: stop its channels before the data goes.
  for (SResource*& sound : clickSounds) {
    if (sound) sound->ReleaseSounds(soundManager ? soundManager->Speaker() : nullptr);
    delete sound;
    sound = nullptr;
  }
  delete startTime;
  delete archiveBinding;
  delete font;
  delete display;
  // The world's sounds stop and go while their mixer still stands; the world, destroyed after this body,
  // must not reach the manager.
  world.sounds.Clear();
  world.SetSoundManager(nullptr);
  delete soundManager;
  delete random;
}

u32 SGameCore::Tick() {
  ++frameCounter;
  if (!display || !currentState) return 0;
  const u32 next = currentState->OnTick(frameCounter, display);
  if (next) SetState(i32(next));
  return next;
}

void SGameCore::OnKey(u32 code) {
  if (!display || !currentState) return;
  if (const u32 next = currentState->OnKey(code)) SetState(i32(next));
}

void SGameCore::TurnStylus(i32* x, i32* y) const {
  if (!display) return;
  const i32 px = *x, py = *y;
  // The picture's own size: a touch always lands inside it.
  const i32 w = display->Width(), h = display->Height();
  if (display->Orientation() != 0 && !landscapeScreen) {
    if (display->Orientation() == 1) {
      *x = py;
      *y = h - px;
    } else {
      *x = w - py;
      *y = px;
    }
    // The turn counts from the far edge, which lies one past the picture: keep the touch on it.
    *x = *x < 0 ? 0 : *x >= w ? w - 1 : *x;
    *y = *y < 0 ? 0 : *y >= h ? h - 1 : *y;
    return;
  }
  // Otherwise a turn of the display layer is one made to fit the picture to the panel: undo it.
  const Hal::Display* hal = display->Display();
  if (hal) {
    if (hal->Impl()->ContentTurn() == 1) {
      *x = py;
      *y = h - 1 - px;
    } else if (hal->Impl()->ContentTurn() == 3) {
      *x = w - 1 - py;
      *y = px;
    }
  }
}

void SGameCore::OnStylus(i32 x, i32 y, u32 touching, u32 moving) {
  if (!display) return;
  TurnStylus(&x, &y);
  if (!currentState) return;
  if (const u32 next = currentState->OnPen(x, y, touching, moving)) SetState(i32(next));
}

void SGameCore::SetState(i32 next) {
  SState* old = currentState;
  u32 w[4] = {};
  if (old) {
    for (int i = 0; i < 4; ++i) w[i] = old->params[i];
    if (!old->keep) old->Leave(u32(next));
    if (currentState && currentState->keep) {
      if (stackCount < kStateStackSize) {
        stateStack[stackCount++] = currentState;
      } else {
        // No room to keep it: it is left, so that it is entered afresh rather than resumed from nowhere.
        currentState->Leave(u32(next));
      }
    }
  }
  if (next == kStateReturn) {
    if (stackCount) currentState = stateStack[--stackCount];
  } else if (next >= kStateGame && next <= kStateLast && states[next]) {
    currentState = states[next];
  }
  if (!currentState) return;
  if (currentState->keep) {
    currentState->keep = 0;
    currentState->Resume();
  } else {
    currentState->Enter(w[0], w[1], w[2], w[3]);
  }
}

void SGameCore::PopAllStates() { PopStatesDownTo(0); }

void SGameCore::PopToFirstState() { PopStatesDownTo(1); }

void SGameCore::PopStatesDownTo(u32 remaining) {
  while (stackCount > remaining) {
    --stackCount;
    SState* state = stateStack[stackCount];
    stateStack[stackCount] = nullptr;
    // Leave gets the stack position the state had.
    if (state) state->Leave(stackCount);
  }
}

bool SGameCore::BeginFrame() { return display && display->BeginFrame(); }

bool SGameCore::DisplayFitsPicture() const {
  if (!display || !display->HasDisplay()) return false;
  const Hal::DisplayParameters& actual = display->Display()->Impl()->Actual();
  return display->Width() <= actual.width && display->Height() <= actual.height;
}

void SGameCore::PlayClick(u32 which) {
  if (which < 2 && soundManager && clickSounds[which]) soundManager->PlaySound(clickSounds[which], 10);
}

void SGameCore::Present() {
  if (display) display->Present();
}

void SGameCore::GetLayoutSize(u32 screenId, u32& width, u32& height) const {
  layouts.GetSize(screenId, displayMode, width, height);
}

const SLayoutItem* SGameCore::GetLayoutItem(u32 screenId, u32 controlId) const {
  return layouts.GetItem(screenId, displayMode, controlId);
}

bool SGameCore::ViewLayoutRect(i32& x, i32& y, i32& w, i32& h) const {
  const SLayoutItem* item = GetLayoutItem(SLayoutTable::kGameScreen, SLayoutTable::kViewControl);
  if (!item) return false;
  x = item->x;
  y = item->y;
  w = item->w;
  h = item->h;
  return true;
}

bool SGameCore::IsCompactMode(i32 mode) {
  // The small fonts go with the compact screens; modes outside the table are standard.
  const Hal::DisplayModeRow* row = Hal::FindDisplayMode(mode);
  return row && row->font == Hal::FontFamily::Small;
}

bool SGameCore::IsLargeMode(i32 mode) {
  const Hal::DisplayModeRow* row = Hal::FindDisplayMode(mode);
  return row && row->font != Hal::FontFamily::Small;
}

u32 SGameCore::ViewSizeSetting(u32 orientation) const {
  return orientation == 0 ? settings.viewSize : orientation == 1 ? settings.lViewSize : settings.rViewSize;
}
