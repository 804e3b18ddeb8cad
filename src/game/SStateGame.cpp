#include "game/SStateGame.h"

#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "core/SPictureRoles.h"
#include "core/ui/SDialogList.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SPlaceControls.h"
#include "foundation/StrUtil.h"
#include "foundation/TimeUtil.h"
#include "game/SConnectionVariants.h"
#include "game/SMonster.h"
#include "graphics/SDisplay.h"
#include "graphics/renderer/SRenderer.h"
#include "platform/sound/SSoundManager.h"
#include "player/SPlayer.h"
#include "world/SImageCache.h"

#include <algorithm>
#include <new>

u32 TransitionKindFromName(const char* word) {
  if (!word) return 0;
  static const struct {
    const char* name;
    u32 kind;
  } kNames[] = {{"teleport", 1},    {"hole", 2},     {"fall", 3},      {"ladderdown", 4},
                {"ladder down", 4}, {"ladderup", 5}, {"ladder up", 5}, {"stairdown", 6},
                {"stair down", 6},  {"stairup", 7},  {"stair up", 7}};
  for (const auto& n : kNames)
    if (StrCompareNoCase(word, n.name) == 0) return n.kind;
  return 0;
}

void ScaleHandOffsets(SWorldView& view, const u16 inputX[2], const u16 inputY[2]) {
  const i32 w = view.viewWidth, h = view.viewHeight;
  auto scale = [](i32 input, i32 size, i32 reference, i32 widened) {
    return u16(widened * (input < 100 ? input : 100) / reference);
  };
  const i32 wide = w + (380 - w) * 7 / 12, high = h + (320 - h) / 2;
  view.handRightWidthPct = w >= 380 ? inputX[0] : scale(inputX[0], w, 380, wide);
  view.handLeftWidthPct = w >= 380 ? inputX[1] : scale(inputX[1], w, 380, wide);
  view.handRightHeightPct = h >= 320 ? inputY[0] : scale(inputY[0], h, 320, high);
  view.handLeftHeightPct = h >= 320 ? inputY[1] : scale(inputY[1], h, 320, high);
}

namespace {

// Where the trap's spikes stand in the player's cell, in front of the player, by facing (north, west,
// south, east): x and z of four spikes, 16-bit fractions of a cell (32768 the centre).
constexpr u16 kSpikeX[4][4] = {{16384, 49152, 16384, 49152},
                               {8192, 8192, 24576, 24576},
                               {16384, 49152, 16384, 49152},
                               {57344, 57344, 40960, 40960}};
constexpr u16 kSpikeZ[4][4] = {{8192, 8192, 24576, 24576},
                               {16384, 49152, 16384, 49152},
                               {57344, 57344, 40960, 40960},
                               {16384, 49152, 16384, 49152}};

// Display modes whose game screen frames a view made smaller by the view-size setting.
bool FramesSmallerView(i32 mode) {
  switch (mode) {
    case 2:
    case 3:
    case 4:
    case 9:
    case 10:
    case 11:
    case 14:
    case 15: return true;
    default: return false;
  }
}

// The head-up strip is two fills, each framed. Where they meet, neither frame draws that side, so that
// the strip reads as one piece and not as two panels with a seam between them.
void OpenSharedSide(SBorderCtrl& a, SBorderCtrl& b) {
  const i32 ar = a.left + a.width, ab = a.top + a.height, br = b.left + b.width, bb = b.top + b.height;
  const bool sameRows = a.top < bb && b.top < ab, sameColumns = a.left < br && b.left < ar;
  if (sameRows && ar == b.left) a.sides &= ~8u, b.sides &= ~2u;
  if (sameRows && br == a.left) a.sides &= ~2u, b.sides &= ~8u;
  if (sameColumns && ab == b.top) a.sides &= ~4u, b.sides &= ~1u;
  if (sameColumns && bb == a.top) a.sides &= ~1u, b.sides &= ~4u;
}

bool IsLargeScreenMode(i32 mode) {
  return mode == 9 || mode == 10 || mode == 11 || mode == 14 || mode == 15 || mode == 16;
}

}  // namespace

SStateGame::SStateGame() : events(true, 4), actions(true, 4), kindServices(*this), ruleHooks(*this) {
  for (const auto& v : ConnectionVariants::kTable) connectionVariants[v[0]] = v[1];
  for (u32 f = 0; f < 4; ++f)
    for (u32 i = 0; i < 4; ++i) {
      spikePlacement[0][f][i] = i16(kSpikeX[f][i]);
      spikePlacement[1][f][i] = i16(kSpikeZ[f][i]);
    }
  HideBackground();
  view.fogColor = 0;
  window.owner = this;
}

SStateGame::~SStateGame() {
  DestroyEventDialog();
  if (core && core->gameView == &view) core->gameView = nullptr;
  if (core && core->world.mapObjectTypes.services == &kindServices) core->world.mapObjectTypes.services = nullptr;
  if (core && core->world.rules.hooks == &ruleHooks) core->world.rules.hooks = nullptr;
  if (core && core->world.modules.env.game == &window) core->world.modules.env.game = nullptr;
  delete groupType;
}

void SStateGame::BindWorld() {
  if (!core) return;
  SGameWorld& world = core->world;
  world.mapObjectTypes.services = &kindServices;
  world.rules.hooks = &ruleHooks;
  world.modules.env.game = &window;
  window.monsterTable = &world.monsters;
  window.sounds = &world.sounds;
  window.items = &world.items;
  window.saves = &core->saveGame;
  window.generator = core->random;
  if (core->display && core->display->Renderer()) core->display->Renderer()->random = core->random;
}

void SStateGame::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  layoutId = SLayoutTable::kGameScreen;
  if (!core) return;
  core->gameView = &view;
  BindWorld();
  scene.Allocate();
  if (!groupType) groupType = SMapObjectType::Create(&core->world.mapObjectTypes, 27);
  SCtrl* const hud[] = {&viewFill, &viewFrame, &leftFill,  &leftFrame,   &rightFill,    &rightFrame,
                        &automap,  &portrait,  &hitPoints, &spellPoints, &compassFrame, &compass};
  for (SCtrl* c : hud) c->Attach(this);
  for (SButtonCtrl& b : buttons) b.Attach(this);
  automap.game = this;
  SDialog* const members[] = {&mapDialog, &spellbook,  &lockpick,   &potions,
                              &rest,      &shipTravel, &markRecall, &enchantItem};
  for (SDialog* d : members) d->Attach(core);
}

void SStateGame::ReleaseMenuPictures() {
  if (!core) return;
  for (u32 slot = 420; slot <= 423; ++slot) {
    delete core->pictures[slot];
    core->pictures[slot] = nullptr;
  }
}

void SStateGame::LayoutHud() {
  if (!core) return;
  ClearControls();
  layoutId = SLayoutTable::kGameScreen;
  SImageEntry* const* frameSet = &core->pictures[PictureRole::kHudFrame];
  const SImage* tile = core->Picture(PictureRole::kHudTile);

  if (const SLayoutItem* v = core->GetLayoutItem(layoutId, kViewId)) {
    viewX = v->x;
    viewY = v->y;
    viewWidth = v->w;
    viewHeight = v->h;
  }
  const u32 orientation = display ? display->Orientation() : 0;
  if (FramesSmallerView(core->displayMode) && core->ViewSizeSetting(orientation <= 2 ? orientation : 0)) {
    if (AddLayoutControl(&viewFill, kViewId)) viewFill.SetColour(0);
    if (AddLayoutControl(&viewFrame, kViewId)) viewFrame.SetFrame(frameSet, 0, 0, 15);
  }
  if (AddLayoutControl(&leftFill, kFillLeftId)) {
    leftFill.tileMode = 1;
    leftFill.SetPicture(tile);
  }
  const bool leftFramed = AddLayoutControl(&leftFrame, kFillLeftId);
  if (leftFramed) leftFrame.SetFrame(frameSet, 0, 0, 15);
  if (AddLayoutControl(&rightFill, kFillRightId)) {
    rightFill.tileMode = 1;
    rightFill.SetPicture(tile);
  }
  const bool rightFramed = AddLayoutControl(&rightFrame, kFillRightId);
  if (rightFramed) rightFrame.SetFrame(frameSet, 0, 0, 15);
  if (leftFramed && rightFramed) OpenSharedSide(leftFrame, rightFrame);
  if (AddLayoutControl(&automap, kAutomapId)) {
    automap.UpdateLayout();
    automap.CentreOrigin();
  }
  if (AddLayoutControl(&portrait, kPortraitId)) portrait.SetFaceByName(core->player.portrait.CStr());
  if (AddLayoutControl(&hitPoints, kHitPointsId)) {
    hitPoints.SetStyle(true);
    hitPoints.SetPercent(core->player.GetHealthPercent());
  }
  if (AddLayoutControl(&spellPoints, kSpellPointsId)) {
    spellPoints.SetStyle(false);
    spellPoints.SetPercent(core->player.GetManaPercent());
  }
  if (AddLayoutControl(&compassFrame, kCompassFrameId)) compassFrame.SetFrame(frameSet, 0, 0, 15);
  if (AddLayoutControl(&compass, kCompassId)) {
    compass.SetPictures(core->Picture(PictureRole::kCompassBand), core->Picture(PictureRole::kCompassOverlay),
                        core->Picture(PictureRole::kCompassLeftCap), core->Picture(PictureRole::kCompassRightCap));
    compass.SetFacing(facing);
  }
  for (u32 i = 0; i < kButtonCount; ++i) {
    SButtonCtrl& b = buttons[i];
    if (!PlaceButton(*this, b, kButtonIds[i], PictureRole::kHudButtons + 2 * i)) continue;
    // The movement buttons act as they go down, and again while held.
    b.fireOnPress = kButtonIds[i] == kAttackId || (kButtonIds[i] >= kTurnLeftId && kButtonIds[i] <= kSideRightId);
  }
}

void SStateGame::PublishView() {
  scene.Publish(view);
  if (!core) return;
  core->world.images.PublishTo(view);
  view.skyTexture = skyFlags & 1 ? skyImage : backgroundImage;
  view.skyPalette = skyFlags & 1 ? skyPalette : backgroundPalette;
  view.flags = u16((view.flags & 2) | (skyFlags & 1) | (rainIntensity && window.IsJoined() ? 4 : 0));
  // Over a struck monster the blow's picture, over a poisoned one the poison's.
  view.altImageA = core->Picture(PictureRole::kHitBlow);
  view.altImageB = core->Picture(PictureRole::kHitDamage);
  // The renderer ends the view at the visible cells and starts its fog at the sky's fog distance.
  view.far = nearDistance;
  view.fogStart = farDistance;
}

void SStateGame::Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
  SState::Enter(w0, w1, w2, w3);
  ReleaseMenuPictures();
  gameInProgress = 1;
  BindWorld();
  if (display) display->SetViewRect();
  LayoutHud();
  SDialog* const members[] = {&mapDialog, &spellbook,  &lockpick,   &potions,
                              &rest,      &shipTravel, &markRecall, &enchantItem};
  for (SDialog* d : members) {
    if (!d->core) d->Attach(core);
    d->parent = this;
    d->flags &= ~1u;
  }
  lastRainTick = GetTicks();
  SetRainView(true);
  largeScreen = core && IsLargeScreenMode(core->displayMode) ? 1 : 0;
  if (w0) {
    rainIntensity = 0;
    rainCountdown = 65535;
    StopRainSound();
    rainClass = 0;
    // A new game: the player stands on the start position the new character names.
    if (core) TeleportToPosition(core->player.startPosition.CStr(), 0);
    ChangeDayAndNight();
  } else {
    EnterMapAgain();
    MarkAutomapSeen();
    RunMonsters();
    UpdateAmbient();
  }
  labelRefresh = 1;
  SetHandView(false, false);
  if (display) display->FillRect(view.viewX, view.viewY, view.viewWidth, view.viewHeight, 0);
  largeCompanions[0] = largeCompanions[1] = 0;
  Paint();
  ResetInputGuard();
}

void SStateGame::Leave(u32 next) {
  SState::Leave(next);
  ClearFightList();
  DestroyEventDialog();
  if (subDialog) CloseSubDialog();
}

void SStateGame::Resume() {
  ReleaseMenuPictures();
  if (display) {
    display->SetViewRect();
    display->FillRect(0, 0, display->Width(), display->Height(), 0);
  }
  LayoutHud();
  portrait.MarkDirty();
  hitPoints.MarkDirty();
  spellPoints.MarkDirty();
  for (u32 i = 0; i < kButtonCount; ++i)
    if (kButtonIds[i] == kAttackId || (kButtonIds[i] >= kTurnLeftId && kButtonIds[i] <= kSideRightId))
      buttons[i].Release();
  monstersChanged = 1;
  ResolveDoorAndDropImages();
  RebuildChangedCells();
  UpdateAmbient();
  SetHandView(false, false);
  SetFullRepaint();
  Paint();
  ResetInputGuard();
}

void SStateGame::UpdateHandZones() {
  const SImageCache* images = core ? &core->world.images : nullptr;
  auto size = [&](u16 id, i32& w, i32& h) {
    const SImageEntry* e = images && id ? images->GetImageEntry(id) : nullptr;
    if (!e || !e->image) return false;
    w = e->image->width;
    h = e->image->height;
    return w > 0 && h > 0;
  };
  const i32 x0 = view.viewX, y0 = view.viewY, W = view.viewWidth, H = view.viewHeight;
  // Picture 0 (the first hand) is drawn in the lower right corner, picture 1 mirrored in the lower left;
  // a zone is the part of its picture that the view shows, as the renderer cuts it.
  const struct {
    u16 image, widthPct, heightPct, inputY;
    bool right;
  } shown[2] = {{view.handLeftImage, view.handLeftWidthPct, view.handLeftHeightPct, handInputY[1], false},
                {view.handRightImage, view.handRightWidthPct, view.handRightHeightPct, handInputY[0], true}};
  for (u32 z = 0; z < 2; ++z) {
    HandZone& zone = handZones[z];
    i32 w = 0, h = 0;
    zone.enabled = size(shown[z].image, w, h) ? 1 : 0;
    if (!zone.enabled) continue;
    zone.width = std::min(W, shown[z].widthPct * w / 100);
    zone.heights[0] = std::min(H, std::min<i32>(shown[z].inputY, 100) * h / 100);
    zone.heights[1] = std::min(H, shown[z].heightPct * h / 100);
    zone.sizeSelector = H >= 320 ? 1 : 2;
    zone.x = shown[z].right ? x0 + W - zone.width : x0;
    zone.y = y0 + H - zone.Height();
  }
}

void SStateGame::PaintView() {
  if (!display) return;
  PublishView();
  view.cameraX = (window.playerX << 16) + (offsetX > 65535 ? 65535 : offsetX);
  view.cameraY = (window.playerY << 16) + (offsetY > 65535 ? 65535 : offsetY);
  view.angle = PositiveMod(facing, 360) << 16;
  compass.SetFacing(facing);
  ScaleHandOffsets(view, handInputX, handInputY);
  UpdateHandZones();
  // The hands are not drawn while the view turns.
  const u16 hands[2] = {view.handRightImage, view.handLeftImage};
  if (turning) view.handRightImage = view.handLeftImage = 0;
  if (SRenderer* renderer = display->Renderer()) {
    renderer->view = &view;
    renderer->DrawView();
  }
  view.handRightImage = hands[0];
  view.handLeftImage = hands[1];
  DrawHitImage();
  DrawLabelPanels();
  for (u32 i = 0; i < kButtonCount; ++i) {
    SButtonCtrl& b = buttons[i];
    const bool moves = kButtonIds[i] == kAttackId || (kButtonIds[i] >= kTurnLeftId && kButtonIds[i] <= kSideRightId);
    if (moves && b.IsVisible()) b.Redraw();
  }
  if (rainIntensity && window.IsJoined()) {
    const u32 now = GetTicks();
    u32 elapsed = now - lastRainTick;
    if (elapsed > 200) elapsed = 50;
    if (SRenderer* renderer = display->Renderer()) renderer->UpdateRain(i32((u64(elapsed) << 16) / 1000));
    lastRainTick = now;
  }
}

void SStateGame::Paint() {
  const bool fullScreenChild = subMode == kWorldMap || subMode == kEnchanting || subMode == kShipTravel;
  // A full repaint paints whole what such a dialog leaves uncovered too; otherwise only the dialog paints.
  if (fullScreenChild && subDialog && !NeedsFullRepaint()) {
    subDialog->Paint();
    return;
  }
  FollowGauges();
  // Whatever a full repaint draws lies under the view (the view's own frame), so it goes first.
  if (NeedsFullRepaint()) PaintControls();
  PaintView();
  PaintControls();
  // The view was drawn again under the open sub-dialog, so the dialog is drawn whole, not only its
  // changed controls (else a list or a picture button dialog vanishes after its first frame).
  if (subDialog) {
    subDialog->SetFullRepaint();
    subDialog->Paint();
  }
}

void SStateGame::FollowGauges() {
  if (!core) return;
  SPlayer& player = core->player;
  const i32 hp = player.GetHealthPercent(), mana = player.GetManaPercent();
  if (hitPoints.shown != hp) hitPoints.SetPercent(hp);
  if (spellPoints.shown != mana) spellPoints.SetPercent(mana);
}

SRandom& SStateGame::Random() { return core && core->random ? *core->random : *window.Random(); }

void SStateGame::OpenSubDialog(SDialog* dialog, i32 mode) {
  if (!dialog) return;
  subDialog = dialog;
  subMode = mode;
  OpenChild(dialog);
  // A box or list an event opened reports its answer as its own result, which the state reads
  // (OnSubDialogResult); the member dialogs report through the state's command handler.
  if (dialog == static_cast<SDialog*>(eventBox) || dialog == static_cast<SDialog*>(eventList)) dialog->parent = nullptr;
}

void SStateGame::CloseSubDialog() {
  subDialog = nullptr;
  subMode = kWalking;
  CloseChild();
}

void SStateGame::RemoveObjectAt(SMapArea& area, SMapMonster& monster) {
  window.RemoveMonsterFromCell(area, monster);
  if (monster.monster && monster.monster->IsPeople())
    RemoveActiveMonster(monster);
  else
    RemoveFightRecord(monster);
}
