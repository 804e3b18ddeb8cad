#include "screens/SStateScene.h"

#include "core/SGameCore.h"
#include "core/SStateNumbers.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "game/SStateGame.h"
#include "platform/hal/Game.h"
#include "platform/sound/SSoundManager.h"
#include "script/SScriptContext.h"

#include <algorithm>

namespace {
constexpr i32 kPictureGapLarge = 25, kPictureGap = 5;
}  // namespace

void SStateScene::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  for (SCtrl* c : std::initializer_list<SCtrl*>{&frame, &picture, &text, &faster, &slower, &automaticToggle})
    c->Attach(this);
  for (u32 i = 0; i < 9; ++i) framePieces[i] = &frameHolders[i];
  for (u32 b = 0; b < 2; ++b)
    for (u32 k = 0; k < 3; ++k) buttonSets[b][k] = &buttonHolders[3 * b + k];
  buttonSets[2][0] = buttonSets[3][1] = &buttonHolders[7];
  buttonSets[2][1] = buttonSets[3][0] = &buttonHolders[6];
}

void SStateScene::Enter(u32 sceneMode, u32 sceneWord, u32 w2, u32 w3) {
  SState::Enter(sceneMode, sceneWord, w2, w3);
  mode = sceneMode;
  words[0] = w2;
  words[1] = w3;
  const SSceneTable* scenes = core ? &core->world.rules.scenes : nullptr;
  scene = scenes && sceneWord && sceneWord <= scenes->records.Count() ? scenes->records[sceneWord - 1] : nullptr;
  if (core && core->stateGame) core->stateGame->StopAmbientSounds(false);

  const bool compact = core && core->IsCompact();
  const u16 firstButton = compact ? kFirstCompactButtonRecord : kFirstButtonRecord;
  for (u32 i = 0; i < 9; ++i)
    if (!frameHolders[i].IsResident()) LoadDataPicture(data, u16(kFirstFrameRecord + i), frameHolders[i]);
  for (u32 i = 0; i < 8; ++i)
    if (!buttonHolders[i].IsResident()) LoadDataPicture(data, u16(firstButton + i), buttonHolders[i]);

  ClearControls();
  SetLayout(kLayout);
  SetPos(0, 0);
  SetBlackBackground();
  // The scene text is dark: a light page behind it.
  if (AddLayoutControl(&frame, kFrameId)) frame.SetFrame(framePieces, 1, RgbWord(0xEADFC4), 15);
  AddLayoutControl(&picture, kPictureId);
  AddLayoutControl(&text, kTextId);
  if (AddLayoutControl(&faster, kFasterId)) faster.SetPicture(buttonSets[0], kFasterId, 0);
  if (AddLayoutControl(&slower, kSlowerId)) slower.SetPicture(buttonSets[1], kSlowerId, 0);
  faster.hasDisabledPicture = slower.hasDisabledPicture = 1;
  AddLayoutControl(&automaticToggle, kAutoId);
  scrollSpeed = compact ? 150 : 100;
  automatic = 1;
  automaticTick = core ? core->frameCounter : 0;
  ShowAutomatic();
  UpdateSpeedButtons();

  pageIndex = 0;
  if (scene && scene->pages.Count()) ShowPage();
  musicTrack.Assign(scene && scene->music ? scene->music : "");
  if (!musicTrack.IsEmpty() && core && core->stateGame) core->stateGame->SelectMusic();
  Paint();
  ResetInputGuard();
}

void SStateScene::ReleasePagePicture() {
  if (pagePicture && core) core->world.images.ReleaseImage(pagePicture);
  pagePicture = nullptr;
}

void SStateScene::ShowPage() {
  ReleasePagePicture();
  const SScenePage& page = scene->pages[pageIndex];
  const SLayoutItem* pictureItem = core ? core->GetLayoutItem(kLayout, kPictureId) : nullptr;
  const SLayoutItem* textItem = core ? core->GetLayoutItem(kLayout, kTextId) : nullptr;
  if (textItem) text.SetRect(textItem->x, textItem->y, textItem->w, textItem->h);
  const char* name = page.texts[0];
  // A picture the cache lacks: the page shows without it.
  SImageEntry* entry = core && name && *name ? core->world.images.FindImage(name) : nullptr;
  if (entry && core->world.images.LoadImage(entry)) pagePicture = entry;
  const i32 displayMode = core ? core->displayMode : 0;
  const bool withPicture = pagePicture && pictureItem;
  if (withPicture) {
    // The picture keeps its shape: as many whole times its size as its box holds, centred across it (shrunk
    // to fit when it is larger than the box). The text starts below it, in what is left of its box.
    i32 w = 0, h = 0;
    SImageCache::GetImageSize(pagePicture, w, h);
    i32 shownWidth = pictureItem->w, shownHeight = pictureItem->h;
    if (w > 0 && h > 0) FitPicture(w, h, pictureItem->w, pictureItem->h, shownWidth, shownHeight);
    picture.SetRect(u16(pictureItem->x + (pictureItem->w - shownWidth) / 2), pictureItem->y, u16(shownWidth),
                    u16(shownHeight));
    picture.SetPicture(pagePicture->image, 0, 0);
    picture.Show(true);
    if (textItem && displayMode != 16) {
      const i32 gap = core->IsLarge() ? kPictureGapLarge : kPictureGap;
      const i32 textTop = pictureItem->y + shownHeight + gap, bottom = textItem->y + textItem->h;
      if (textTop > textItem->y && textTop < bottom)
        text.SetRect(textItem->x, u16(textTop), textItem->w, u16(bottom - textTop));
    }
  } else {
    picture.SetPicture(nullptr, 0, 0);
    picture.Hide();
    if (displayMode == 16 && pictureItem && textItem)
      text.SetRect(pictureItem->x, pictureItem->y, pictureItem->w, pictureItem->h);
  }
  text.SetStepTime(u32(scrollSpeed));
  SString shown(page.texts[1] ? page.texts[1] : "");
  if (core && core->scriptContext) core->scriptContext->ExpandTextMacros(shown);
  text.Start(shown.CStr() ? shown.CStr() : "", !withPicture && mode == kCentredTexts);
  SetFullRepaint();
  const char* script = page.texts[2];
  if (script && *script && core && core->scriptContext) {
    SScriptContext& context = *core->scriptContext;
    context.Reset();
    context.output = kOutputScene;
    core->world.scripts.RunByName(script);
  }
}

void SStateScene::AddScriptText(const char* added) {
  if (added) text.AddText(added);
}

u32 SStateScene::End() {
  if (mode != kNewGame) return kStateReturn;
  params[0] = params[1] = params[2] = params[3] = 0;
  return kStateGenerate;
}

u32 SStateScene::TurnPage() {
  ++pageIndex;
  if (!scene || pageIndex >= scene->pages.Count()) return End();
  ShowPage();
  automaticTick = core ? core->frameCounter : 0;
  Paint();
  return 0;
}

void SStateScene::Leave(u32 next) {
  ReleasePagePicture();
  for (SImageEntry& h : frameHolders) h.Unload();
  for (SImageEntry& h : buttonHolders) h.Unload();
  // Messages outside scripts go to the message line again, not to a scene no longer shown.
  if (core && core->scriptContext) core->scriptContext->output = kOutputGameMessage;
  musicTrack.Assign("");
  scene = nullptr;
  SState::Leave(next);
}

void SStateScene::Click() {
  if (core && core->soundManager && core->clickSounds[0]) core->soundManager->PlaySound(core->clickSounds[0], 10);
}

void SStateScene::UpdateSpeedButtons() {
  faster.Enable(scrollSpeed > kMinSpeed);
  slower.Enable(scrollSpeed < kMaxSpeed);
  faster.MarkDirty();
  slower.MarkDirty();
}

void SStateScene::ShowAutomatic() {
  automaticToggle.SetPicture(buttonSets[automatic ? 2 : 3], kAutoId, 0);
  automaticToggle.MarkDirty();
}

u32 SStateScene::OnKey(u32 key) { return key ? TurnPage() : 0; }

u32 SStateScene::OnCommand(u16 code) {
  switch (code) {
    case kPictureId: Click(); return TurnPage();
    case kTextId:
      if (mode == kNewGame) return 0;
      Click();
      return TurnPage();
    case kFasterId:
    case kSlowerId:
      Click();
      scrollSpeed += code == kFasterId ? -kSpeedStep : kSpeedStep;
      if (scrollSpeed < kMinSpeed) scrollSpeed = kMinSpeed;
      if (scrollSpeed > kMaxSpeed) scrollSpeed = kMaxSpeed;
      text.SetStepTime(u32(scrollSpeed));
      UpdateSpeedButtons();
      return 0;
    case kAutoId:
      Click();
      automatic = automatic ? 0 : 1;
      if (automatic) automaticTick = core ? core->frameCounter : 0;
      ShowAutomatic();
      return 0;
    default: return 0;
  }
}

u32 SStateScene::OnTick(u32 frameCounter, SDisplay* screen) {
  // A missing or empty scene ends as after its last page.
  if (!scene || !scene->pages.Count()) return End();
  if (const u32 next = SState::OnTick(frameCounter, screen)) return next;
  if (automatic && text.finished) return TurnPage();
  return 0;
}
