#include "screens/SStateDialogInterior.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/SStateNumbers.h"
#include "core/ui/SRgb.h"
#include "game/SStateGame.h"
#include "platform/sound/SSoundManager.h"
#include "player/SPlayer.h"
#include "screens/SServicePrices.h"
#include "screens/SStateDialog.h"
#include "script/SScriptContext.h"
#include "world/SPeopleTables.h"
#include "world/SSoundTable.h"
#include "world/SWorldExtras.h"

namespace {

constexpr u32 kVolume = 10;
constexpr u16 kLeaveKey = 1002;
constexpr char kCoin = 9;
constexpr u32 kSmallFrames = 77;
// The menu button panels, up and pressed.
constexpr u32 kButtonUp = PictureRole::kMenuButtonUp, kButtonDown = PictureRole::kMenuButtonDown;

struct MenuEntry {
  u8 flag;
  u16 code;
  const char* label;
};
// The services after "Talk", in the menu's order; "Cards" follows while a slot is free.
constexpr MenuEntry kServices[] = {{SStateDialogInterior::kFlagBuySell, SStateDialogInterior::kBuySell, "Buy/sell"},
                                   {SStateDialogInterior::kFlagTraining, SStateDialogInterior::kTraining, "Training"},
                                   {SStateDialogInterior::kFlagRepair, SStateDialogInterior::kRepair, "Repair"},
                                   {SStateDialogInterior::kFlagEnchant, SStateDialogInterior::kEnchant, "Enchant"},
                                   {SStateDialogInterior::kFlagRooms, SStateDialogInterior::kSleep, "Sleep"}};

}  // namespace

void SStateDialogInterior::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  for (SBorderCtrl& f : frames) f.Attach(this);
  SCtrl* const all[] = {&portraitFrame, &welcomeFrame, &picture, &portrait, &name, &welcome, &leave};
  for (SCtrl* c : all) c->Attach(this);
  for (SButtonCtrl& b : slots) b.Attach(this);
  doorFlag = 0;
}

void SStateDialogInterior::PlaceMenuButton(SButtonCtrl& button, u16 id, const char* label, u16 code, u32 key) {
  if (!AddLayoutControl(&button, id)) return;
  const i32 x = button.left, y = button.top, w = button.width, h = button.height;
  SImageEntry* const* pictures = core ? core->pictures : nullptr;
  const u32 labelFont = core && core->IsLarge() ? 2 : 1;
  button.CreatePanel(pictures ? &pictures[kButtonDown] : nullptr, pictures ? &pictures[kButtonUp] : nullptr, label,
                     code, labelFont, RgbWord(0xC8C8C8), RgbWord(0x585858), RgbWord(0xFFFFFF), RgbWord(0x585858), key);
  button.SetRect(u16(x), u16(y), u16(w), u16(h));
  button.id = code;
}

// ---- entering and leaving

void SStateDialogInterior::Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
  SState::Enter(w0, w1, w2, w3);
  marker = kMenu;
  slept = 0;
  musicTrack.Assign("");
  SStateDialog* conversation = core ? static_cast<SStateDialog*>(core->states[kStateDialog]) : nullptr;
  if (doorFlag && conversation) conversation->doorFlag = 0;
  if (core && core->stateGame) core->stateGame->StopAmbientSounds(true);
  if (core) {
    SDialog* const children[] = {&box, &rest, &training, &enchanting, &repairShop, &cardBet};
    for (SDialog* d : children) d->Attach(core);
  }

  ClearControls();
  SetLayout(kLayout);
  left = top = 0;
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  // The outer frame by the screen's size, the inner ones from the small set.
  SImageEntry* const* inner = core ? &core->pictures[kSmallFrames] : nullptr;
  for (u32 i = 0; i < 3; ++i)
    if (AddLayoutControl(&frames[i], kFrameIds[i]))
      frames[i].SetFrame(i == 0 ? (core ? core->FrameSet() : nullptr) : inner, 0, 0, i == 0 ? 15 : 2);
  if (AddLayoutControl(&portraitFrame, kPortraitFrameId)) portraitFrame.SetFrame(inner, 0, 0, 4);
  if (AddLayoutControl(&welcomeFrame, kWelcomeFrameId)) welcomeFrame.SetFrame(inner, 0, 0, 4);

  person = SStateDialog::PersonFromCore(core, w1);
  speakerWord = w2;

  // An interior name that names no record shows no picture and plays no music; the menu stays.
  ReleaseInterior();
  const char* interiorName = person && person->texts[3] && *person->texts[3] ? person->texts[3] : nullptr;
  interior = core && interiorName ? core->world.rules.interiors.FindByName(interiorName) : nullptr;
  animationEntries.Clear();
  animation = SAnimation{};
  if (interior && core) {
    interior->LoadImages(core->world.images);
    for (const SInteriorPicture& p : interior->pictures) {
      SAnimationEntry e;
      e.name = p.image;
      e.x = p.values[0];
      e.y = p.values[1];
      e.duration = p.values[2];
      animationEntries.Add(e);
    }
    animation.count = animationEntries.Count();
    animation.entries = animationEntries.Data();
    if (interior->text && *interior->text) musicTrack.Assign(interior->text);
  }
  // Without a song of its own the interior leaves the game's song paused, to go on where it stopped.
  if (!musicTrack.IsEmpty() && core && core->stateGame) core->stateGame->SelectMusic();

  SStateDialog::ShowSpeaker(*this, person, portrait, kPortraitId, name, kNameId);
  if (AddLayoutControl(&picture, kPictureId)) {
    if (animation.count)
      picture.SetAnimation(&animation);
    else
      picture.SetAnimation(nullptr);
  }
  if (AddLayoutControl(&welcome, kWelcomeId)) {
    const char* text = person && person->texts[4] && *person->texts[4] ? person->texts[4] : nullptr;
    const bool centred = core && core->displayMode == 16;
    welcome.SetTextStyled(text ? text : "- welcome message not found -",
                          STextCtrl::kMiddle | (centred ? STextCtrl::kCentred : STextCtrl::kLeft), 2, RgbWord(0xC8C8C8),
                          RgbWord(0x161616));
  }

  // "Talk" first, then the services in order; a person with more than the slots hold loses the last.
  for (u16& c : menuCodes) c = 0;
  u32 used = 0;
  menuCodes[used++] = kTalk;
  const u8 services = person ? person->params[3] : 0;
  for (const MenuEntry& m : kServices)
    if ((services & m.flag) && used < kMenuSlots) menuCodes[used++] = m.code;
  if ((services & kFlagCards) && used < kMenuSlots) menuCodes[used++] = kCards;
  for (u32 i = 0; i < used; ++i) {
    const char* label = menuCodes[i] == kTalk ? "Talk" : menuCodes[i] == kCards ? "Cards" : "";
    for (const MenuEntry& m : kServices)
      if (m.code == menuCodes[i]) label = m.label;
    PlaceMenuButton(slots[i], kSlotIds[i], label, menuCodes[i], 0);
  }
  PlaceMenuButton(leave, kLeaveId, "Leave", kLeave, kLeaveKey);

  Paint();
  ResetInputGuard();
}

void SStateDialogInterior::ReleaseInterior() {
  if (interior && core) interior->ReleaseImages(core->world.images);
  interior = nullptr;
}

void SStateDialogInterior::Leave(u32 next) {
  ReleaseInterior();
  picture.SetAnimation(nullptr);
  animationEntries.Clear();
  animation = SAnimation{};
  child = nullptr;
  marker = kMenu;
  SState::Leave(next);
}

// ---- the services

u32 SStateDialogInterior::RoomPrice() {
  const i64 base = i64(ServicePrices::PriceFactor(core, person)) * 50 / 10;
  const u32 price = ServicePrices::Clamp(base);
  return core ? ServicePrices::Clamp(core->player.AdjustPrice(price, true)) : price;
}

void SStateDialogInterior::RentRoom() {
  if (!core) return;
  marker = kRoomOffer;
  const u32 price = RoomPrice();
  SString text;
  if (!core->player.HasMoney(price)) {
    text.Format("You don't have enough money to rent a room (%u%c).", price, kCoin);
    core->ShowMessageBox(text.CStr(), SDialogMessage::kOk, &boxText, &box, this);
  } else {
    text.Format("Do you want to rent a room for %u%c?", price, kCoin);
    core->ShowMessageBox(text.CStr(), SDialogMessage::kYes | SDialogMessage::kNo, &boxText, &box, this);
  }
}

void SStateDialogInterior::OpenEnchant() {
  if (!core) return;
  if (!core->player.HasEnchantableItem()) {
    core->ShowMessageBox("You don't have anything to enchant.", SDialogMessage::kOk, &boxText, &box, this);
    return;
  }
  marker = kEnchanting;
  enchanting.Open(person, 0, 0);
  OpenChild(&enchanting);
}

void SStateDialogInterior::CloseChildToMenu() {
  marker = kMenu;
  CloseChild();
  SetFullRepaint();
}

u32 SStateDialogInterior::OnCommand(u16 code) {
  switch (marker) {
    case kMenu: break;
    case kRepairShop:
    case kEnchanting:
    case kTrainer: CloseChildToMenu(); return 0;
    case kRoomOffer:
      if (code == SDialogMessage::kYes && core) {
        CloseChildToMenu();
        // The price is figured again as the offer figured it; a purse that no longer holds it pays nothing.
        const u32 price = RoomPrice();
        if (!core->player.HasMoney(price)) return 0;
        if (core->stateGame) core->stateGame->StopMusic();
        ServicePrices::Pay(core->player, price);
        marker = kResting;
        rest.Open(person);
        OpenChild(&rest);
        if (core->stateGame) core->stateGame->PassHours(8);
        slept = 1;
        return 0;
      }
      if (code == SDialogMessage::kOk || code == SDialogMessage::kNo) CloseChildToMenu();
      return 0;
    case kResting:
      rest.Reset();
      CloseChildToMenu();
      if (core && core->stateGame) core->stateGame->SelectMusic();
      return 0;
    case kBet:
      CloseChildToMenu();
      if (code != SDialogCardBet::kAccept || !core) return 0;
      if (core->player.HasMoney(u32(cardBet.bet))) {
        params[0] = u32(cardBet.bet);
        params[1] = SStateDialog::PersonWord(core, person);
        params[2] = 0;
        keep = 1;
        return kStateCard;
      }
      core->ShowMessageBox("You don't have enough money.", SDialogMessage::kOk, &boxText, &box, this);
      Paint();
      return 0;
    default: return 0;
  }

  if (code == SDialogMessage::kOk && child == &box) {
    CloseChildToMenu();
    return 0;
  }
  if (child) return 0;
  switch (code) {
    case kTalk: {
      if (core) core->PlayClick(0);
      SStateDialog* conversation = core ? static_cast<SStateDialog*>(core->states[kStateDialog]) : nullptr;
      if (doorFlag && conversation) conversation->doorFlag = 0;
      params[0] = 0;
      params[1] = SStateDialog::PersonWord(core, person);
      params[2] = speakerWord;
      keep = 1;
      return kStateDialog;
    }
    case kBuySell:
      if (core) core->PlayClick(0);
      params[0] = 0;
      params[1] = SStateDialog::PersonWord(core, person);
      params[2] = speakerWord;
      keep = 1;
      return kStateShop;
    case kEnchant:
      if (core) core->PlayClick(0);
      OpenEnchant();
      return 0;
    case kRepair:
      if (core) core->PlayClick(0);
      marker = kRepairShop;
      repairShop.Open(ServicePrices::PriceFactor(core, person));
      OpenChild(&repairShop);
      return 0;
    case kTraining:
      if (core) core->PlayClick(0);
      marker = kTrainer;
      training.Open(person);
      OpenChild(&training);
      return 0;
    case kSleep:
      if (core) core->PlayClick(0);
      RentRoom();
      return 0;
    case kCards:
      if (core) core->PlayClick(0);
      marker = kBet;
      cardBet.Open(person);
      OpenChild(&cardBet);
      return 0;
    case kLeave: {
      if (doorFlag) {
        if (core) core->world.sounds.PlayByName("bsnd_cdoorclose", kVolume);
      } else {
        if (core) core->PlayClick(1);
      }
      doorFlag = 0;
      SStateDialog* conversation = core ? static_cast<SStateDialog*>(core->states[kStateDialog]) : nullptr;
      if (conversation) conversation->doorFlag = 0;
      // The interior was opened with the conversation's output: messages outside a script go to the game's
      // message line again.
      if (core && core->scriptContext) core->scriptContext->output = kOutputGameMessage;
      if (slept && core && core->stateGame) core->stateGame->ChangeDayAndNight();
      return kStateReturn;
    }
    default: return 0;
  }
}
