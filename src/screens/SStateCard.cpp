#include "screens/SStateCard.h"

#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "foundation/SRandom.h"
#include "foundation/TimeUtil.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "platform/sound/SSoundManager.h"
#include "screens/cards/SCardPictures.h"
#include "screens/cards/SCardRules.h"
#include "world/SPeopleTables.h"
#include "world/SSoundTable.h"

namespace {

constexpr char kCoin = 9;
constexpr u32 kSoundVolume = 10;

}  // namespace

void SCardPortraitCtrl::Paint() {
  SFaceCtrl::Paint();
  if (display && hit) display->DrawImage(hit, left + (width - hit->width) / 2, top + (height - hit->height) / 2);
}

SStateCard::SStateCard() {
  for (u32 i = 0; i < kHolders; ++i) holderSet[i] = &holders[i];
}

SStateCard::~SStateCard() {
  // The card set outlives the state inside the core; its pictures go with the match.
  if (cardSet) cardSet->ReleasePictures();
}

u32 SStateCard::PartnerWord(const SGameCore* core, const SNpc* person) {
  if (!core || !person) return 0;
  const SPtrArray<SNpc>& people = core->world.rules.people.records;
  const i32 at = people.IndexOf(const_cast<SNpc*>(person));
  return at < 0 ? 0 : u32(at) + 1;
}

const SNpc* SStateCard::PartnerFromWord(const SGameCore* core, u32 word) {
  if (!core || word == 0) return nullptr;
  return core->world.rules.people.records.At(i32(word - 1));
}

i32 SStateCard::HandPosition(u16 code) {
  for (u32 i = 0; i < SCardSide::kHand; ++i)
    if (kHandIds[kPlayer][i] == code) return i32(i);
  return -1;
}

void SStateCard::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  cardSet = gameCore ? &gameCore->cards : nullptr;
  SCtrl* const all[] = {&background, &giveUp,       &textFrame,    &cardText,   &table,     &decks[0],
                        &decks[1],   &portraits[0], &portraits[1], &hpTexts[0], &hpTexts[1]};
  for (SCtrl* c : all) c->Attach(this);
  for (u32 s = 0; s < 2; ++s) {
    for (SCardCtrl& c : hands[s]) c.Attach(this);
    for (SCardSignCtrl& c : markerCtrls[s]) c.Attach(this);
  }
  if (gameCore) box.Attach(gameCore);
}

// ---- entering and leaving

void SStateCard::LoadHolders() {
  const bool compact = core && core->IsCompact();
  for (u32 i = 0; i < kHolders; ++i) LoadDataPicture(data, CardScreenRecord(i, compact), holders[i]);
  for (u32 k = 0; k < SCardScreenPictures::kKinds; ++k) screenPictures.backs[k] = holders[kCardBackFirst + k].image;
  screenPictures.frame = holders[kCardMarkerFrame].image;
  screenPictures.secondFrame = holders[kCardPlainFrame].image;
}

void SStateCard::ReleaseHolders() {
  for (SImageEntry& h : holders) h.Unload();
  screenPictures = SCardScreenPictures{};
}

void SStateCard::BuildLooks() {
  for (u32 n = 0; n < SCardSet::kCards; ++n) {
    SCardLook& look = looks[n];
    const SCardType* card = cardSet ? &cardSet->cards[n] : nullptr;
    look = SCardLook{};
    if (!card) continue;
    look.tag = n + 1;
    look.kind = card->deckKind;
    look.flags = card->cardClass;
    look.picture = (card->cardClass & 0x11) ? screenPictures.secondFrame : screenPictures.frame;
    look.sign = card->picture.image;
  }
}

const SCardLook* SStateCard::LookOf(const SCardType* card) const {
  if (!card || !cardSet || card < cardSet->cards || card >= cardSet->cards + SCardSet::kCards) return nullptr;
  return &looks[card - cardSet->cards];
}

void SStateCard::LayOut() {
  ClearControls();
  SetLayout(kLayout);
  left = top = 0;
  HideBackground();
  if (AddLayoutControl(&background, kBackgroundId)) {
    background.tileMode = 1;
    background.SetPicture(holders[kCardBackground].image);
  }
  if (AddLayoutControl(&textFrame, kTextFrameId))
    textFrame.SetFrame(core ? core->FrameSet() : nullptr, 1, RgbWord(0x101418), 15);
  if (AddLayoutControl(&cardText, kTextId)) {
    cardText.SetDefaults();
    cardText.SetLabel("");
    cardText.SetValue("");
  }
  for (u32 s = 0; s < 2; ++s) {
    if (AddLayoutControl(&portraits[s], kPortraitIds[s])) portraits[s].SetHit(nullptr);
    if (AddLayoutControl(&hpTexts[s], kHpIds[s]))
      hpTexts[s].SetTextStyled("", STextCtrl::kCentred | STextCtrl::kMiddle, 1, RgbWord(0xFFFFFF), RgbWord(0x161616));
    for (u32 i = 0; i < SCardSide::kMarkers; ++i) {
      SCardSignCtrl& m = markerCtrls[s][i];
      if (!AddLayoutControl(&m, kMarkerIds[s][i])) continue;
      m.SetEmptyPicture(holders[kCardEmptyMarker].image);
      m.SetMarkPictures(holders[kCardStruckMark].image, holders[kCardActiveMark].image);
      m.ClearMarks();
    }
    if (AddLayoutControl(&decks[s], kDeckIds[s])) decks[s].SetEmptyPicture(holders[kCardEmptyPile].image);
  }
  if (AddLayoutControl(&table, kTableId)) table.SetEmptyPicture(holders[kCardEmptyPile].image);
  if (AddLayoutControl(&giveUp, kGiveUpId)) giveUp.SetPicture(&holderSet[kCardGiveUpUp], kGiveUpId, 0);
  // The hands last: a card in flight is drawn over everything else.
  for (u32 s = 0; s < 2; ++s)
    for (SCardCtrl& c : hands[s]) {
      // A hand card is placed where its layout puts it, or at the screen's corner when the layout has
      // none (it then never shows).
      const u16 id = kHandIds[s][&c - hands[s]];
      if (!AddLayoutControl(&c, id)) c.id = id;
      c.SetCard(nullptr, 0, screenPictures);
      c.SetLift(c.height / 4);
      c.raised = 0;
    }
}

void SStateCard::Enter(u32 betWord, u32 partnerWord, u32 w2, u32 w3) {
  SState::Enter(betWord, partnerWord, w2, w3);
  partner = PartnerFromWord(core, partnerWord);
  LoadHolders();
  LayOut();
  // The bet is taken now; the opener has checked the purse, and more than it holds cannot be taken.
  SPlayer* player = core ? &core->player : nullptr;
  bet = player && betWord > player->GetMoney() ? player->GetMoney() : betWord;
  if (player) player->LoseMoney(i32(bet), false);

  gameOver = waiting = flashStruck = flashActive = comboPending = strikingBack = won = 0;
  comboMultiplier = 1;
  if (cardSet) cardSet->LoadPictures();
  BuildLooks();
  flights.DeleteAll();
  ShowPortraits();

  SRandom* random = core ? core->random : nullptr;
  for (SCardSide& side : sides) {
    for (const SCardType*& c : side.hand) c = nullptr;
    for (SCardMarker& m : side.markers) m = SCardMarker{};
    side.hp = side.maxHp = SCardSide::kStartHp;
  }
  sides[kComputer].deckKind = random ? u32(random->Next(3)) : 0;
  do {
    sides[kPlayer].deckKind = random ? u32(random->Next(3)) : (sides[kComputer].deckKind + 1) % 3;
  } while (sides[kPlayer].deckKind == sides[kComputer].deckKind);
  for (u32 s = 0; s < 2; ++s) {
    if (cardSet) cardSet->BuildDeck(sides[s].deckKind, sides[s].deck);
    UpdateDeck(s);
    UpdateHp(s);
    UpdateMarkers(s);
  }
  tableCard = nullptr;
  table.topPicture = nullptr;
  table.count = 0;
  table.MarkDirty();

  u32 delay = 0;
  for (u32 position = 0; position < SCardSide::kHand; ++position) {
    DrawCard(kPlayer, position, delay);
    delay += kDealStep;
    DrawCard(kComputer, position, delay);
    delay += kDealStep;
  }
  SString text;
  text.Format("You play as a %s, while your opponent plays as a %s.", SCardSet::DeckName(sides[kPlayer].deckKind),
              SCardSet::DeckName(sides[kComputer].deckKind));
  textFrame.MarkDirty();
  cardText.SetLabel("");
  cardText.SetValue(text.CStr());
  turn = kTurnPlayer;
  selected = -1;
  Changed();
  Paint();
}

void SStateCard::Leave(u32 next) {
  SState::Leave(next);
  if (cardSet) cardSet->ReleasePictures();
  ReleaseHolders();
  flights.DeleteAll();
  for (u32 s = 0; s < 2; ++s)
    for (SCardCtrl& c : hands[s]) c.SetCard(nullptr, 0, screenPictures);
  table.topPicture = nullptr;
  tableCard = nullptr;
  for (SCardPortraitCtrl& p : portraits) p.SetHit(nullptr);
  child = nullptr;
}

void SStateCard::ShowPortraits() {
  SCardPortraitCtrl& opponent = portraits[kComputer];
  opponent.SetPicture(nullptr);
  if (partner && partner->name.Text() && partner->name.Text()[0]) opponent.SetFaceByName(partner->name.Text());
  if (!opponent.picture && partner && partner->texts[1] && partner->texts[1][0]) opponent.SetFace(partner->texts[1]);
  if (!opponent.picture) opponent.SetFace("bres_headunknown");
  portraits[kPlayer].SetFaceByName(core ? core->player.portrait.CStr() : nullptr);
}

// ---- what the screen shows

void SStateCard::PlaySound(const char* name) {
  if (core) core->world.sounds.PlayByName(name, kSoundVolume);
}

void SStateCard::Click(u32 which) {
  if (core && core->soundManager && core->clickSounds[which])
    core->soundManager->PlaySound(core->clickSounds[which], kSoundVolume);
}

void SStateCard::UpdateHp(u32 side) {
  SString text;
  text.Format("hp: %u/%u", u32(sides[side].hp), u32(sides[side].maxHp));
  hpTexts[side].SetText(text.CStr());
  Changed();
}

void SStateCard::UpdateMarkers(u32 side) {
  for (u32 i = 0; i < SCardSide::kMarkers; ++i) {
    const SCardType* card = sides[side].markers[i].card;
    markerCtrls[side][i].SetCardPicture(card ? card->picture.image : nullptr);
  }
  Changed();
}

void SStateCard::UpdateDeck(u32 side) {
  const u32 kind = sides[side].deckKind;
  decks[side].ShowBack(kind < SCardScreenPictures::kKinds ? screenPictures.backs[kind] : nullptr);
  decks[side].SetCount(i32(sides[side].deck.count));
}

void SStateCard::ShowCardText(const SCardType* card, u32 counter) {
  if (!card) return;
  SString description;
  card->FormatDescription(description, counter);
  SGameCore::ConvertNumberGlyphs(description);
  textFrame.MarkDirty();
  cardText.SetLabel(card->name);
  cardText.SetValue(description.CStr());
  Changed();
}

void SStateCard::ShowMarkerText(u32 side, u32 slot) {
  const SCardMarker& m = sides[side].markers[slot];
  if (m.card) ShowCardText(m.card, u32(m.counter < 0 ? 0 : m.counter));
}

void SStateCard::ShowHit(u32 side) {
  PlaySound("bsnd_carddamage");
  portraits[side].SetHit(holders[kCardHit].image);
  Changed();
}

void SStateCard::FlashMarker(u32 side, u32 slot, bool struck) {
  if (side > 1 || slot >= SCardSide::kMarkers) return;
  if (struck) {
    markerCtrls[side][slot].ShowFirstMark();
    flashStruck = 1;
  } else {
    markerCtrls[side][slot].ShowSecondMark();
    flashActive = 1;
  }
  Changed();
}

void SStateCard::LowerHand() {
  for (SCardCtrl& c : hands[kPlayer])
    if (c.raised) c.SetRaised(false);
  selected = -1;
  Changed();
}

// ---- the rules' operations

void SStateCard::ApplyAttackModifiers(u32 side, i32& amount) {
  for (u32 i = 0; i < SCardSide::kMarkers; ++i)
    if (const SCardType* card = sides[side].markers[i].card)
      ResolveCardPlay(cardSet, this, card, side, kCardAttack, amount, i, 1);
}

void SStateCard::ApplyDefenceModifiers(u32 side, i32& amount) {
  for (u32 i = 0; i < SCardSide::kMarkers; ++i)
    if (const SCardType* card = sides[side].markers[i].card)
      ResolveCardPlay(cardSet, this, card, side, kCardDefence, amount, i, 1);
}

i32 SStateCard::AbsorbDamage(i32 amount, u32 attacker) {
  const u32 defender = 1 - attacker;
  for (u32 i = 0; i < SCardSide::kMarkers && amount > 0; ++i) {
    SCardMarker& m = sides[defender].markers[i];
    if (!m.card || m.card->cardClass != kCardDurable) continue;
    if (m.counter >= amount) {
      m.counter -= amount;
      amount = 0;
    } else {
      amount -= m.counter > 0 ? m.counter : 0;
      m.counter = 0;
    }
    FlashMarker(defender, i, true);
  }
  return amount;
}

void SStateCard::Damage(i32 amount, u32 attacker) {
  if (attacker > 1) return;
  const u32 defender = 1 - attacker;
  ApplyAttackModifiers(attacker, amount);
  amount = AbsorbDamage(amount, attacker);
  if (amount <= 0) return;
  ApplyDefenceModifiers(defender, amount);
  SCardSide& d = sides[defender];
  d.hp = amount >= d.hp ? 0 : d.hp - amount;
  ShowHit(defender);
  UpdateHp(defender);
  if (d.hp == 0) EndMatch(defender == kComputer);
}

void SStateCard::DirectDamage(i32 amount, u32 attacker, bool withBonus) {
  if (attacker > 1) return;
  const u32 defender = 1 - attacker;
  if (withBonus) ApplyAttackModifiers(attacker, amount);
  ApplyDefenceModifiers(defender, amount);
  if (amount < 0) amount = 0;
  SCardSide& d = sides[defender];
  d.hp = amount >= d.hp ? 0 : d.hp - amount;
  ShowHit(defender);
  UpdateHp(defender);
  if (d.hp == 0) EndMatch(defender == kComputer);
}

void SStateCard::StrikeBack(i32 amount, u32 side) {
  if (strikingBack) return;
  strikingBack = 1;
  Damage(amount, side);
  strikingBack = 0;
}

void SStateCard::AddHp(i32 n, u32 side) {
  if (side > 1) return;
  if (comboPending) n *= i32(comboMultiplier);
  SCardSide& s = sides[side];
  const i64 hp = i64(s.hp) + n;
  s.hp = hp < 0 ? 0 : hp > s.maxHp ? s.maxHp : i32(hp);
  UpdateHp(side);
}

void SStateCard::AddMaxHp(i32 n, u32 side) {
  if (side > 1) return;
  if (comboPending) n *= i32(comboMultiplier);
  sides[side].maxHp += n;
  UpdateHp(side);
}

void SStateCard::PlaceMarker(const SCardType* card, u32 side, i32 extra) {
  if (!card || side > 1) return;
  SCardSide& s = sides[side];
  u32 slot = SCardSide::kMarkers;
  for (u32 i = 0; i < SCardSide::kMarkers && slot == SCardSide::kMarkers; ++i)
    if (!s.markers[i].card) slot = i;
  if (slot == SCardSide::kMarkers) slot = core && core->random ? u32(core->random->Next(SCardSide::kMarkers)) : 0;
  s.markers[slot].card = card;
  s.markers[slot].counter = i32(card->counter) + extra;
  UpdateMarkers(side);
}

void SStateCard::RemoveRandomMarker(u32 side) {
  if (side > 1) return;
  SCardSide& s = sides[side];
  if (s.HasMarker()) {
    SRandom* random = core ? core->random : nullptr;
    u32 slot = 0;
    // Draw until a slot holds a card; without a generator, the first that does.
    do {
      slot = random ? u32(random->Next(SCardSide::kMarkers)) : (slot + 1) % SCardSide::kMarkers;
    } while (!s.markers[slot].card);
    s.markers[slot] = SCardMarker{};
    markerCtrls[side][slot].ClearMarks();
  }
  UpdateMarkers(side);
}

void SStateCard::ClearMarkers(u32 side) {
  if (side > 1) return;
  for (u32 i = 0; i < SCardSide::kMarkers; ++i) {
    sides[side].markers[i] = SCardMarker{};
    markerCtrls[side][i].ClearMarks();
  }
  UpdateMarkers(side);
}

void SStateCard::StartCombo(u32 multiplier) {
  comboPending = 1;
  comboMultiplier = multiplier ? multiplier : 1;
}

void SStateCard::TickMarkers(u32 side) {
  if (side > 1) return;
  for (u32 i = 0; i < SCardSide::kMarkers; ++i) {
    SCardMarker& m = sides[side].markers[i];
    if (!m.card || !(m.card->cardClass & (kCardTimed | kCardDurable))) continue;
    const SCardType* card = m.card;
    i32 unused = 0;
    ResolveCardPlay(cardSet, this, card, side, kCardTick, unused, i, 1);
    FlashMarker(side, i, false);
    // The tick may have let the slot go (a strike-back never does, but stay on the safe side).
    if (m.card == card && card->cardClass == kCardTimed && m.counter > 0) --m.counter;
  }
}

void SStateCard::RemoveSpentMarkers(u32 side) {
  bool any = false;
  for (u32 i = 0; i < SCardSide::kMarkers; ++i) {
    SCardMarker& m = sides[side].markers[i];
    if (m.card && m.counter <= 0) {
      m = SCardMarker{};
      any = true;
    }
  }
  if (any) UpdateMarkers(side);
}

// ---- turns

bool SStateCard::PlayerMayPlay() const {
  return !gameOver && !child && turn == kTurnPlayer && flights.IsEmpty() && (AllHandsFull() || comboPending);
}

i32 SStateCard::ChooseCard(u32 side) {
  if (side > 1) return -1;
  SRandom* random = core ? core->random : nullptr;
  i32 best = -1, bestScore = -1;
  for (u32 pos = 0; pos < SCardSide::kHand; ++pos) {
    const SCardType* card = sides[side].hand[pos];
    if (!card) continue;
    i32 unused = 0;
    const i32 r = i32(ResolveCardPlay(cardSet, this, card, side, kCardRating, unused, 0, 1));
    const i32 score = r * 9 / 10 + (random ? random->Next(r * 2 / 10) : 0);
    if (score > bestScore) {
      bestScore = score;
      best = i32(pos);
    }
  }
  return best;
}

void SStateCard::DrawCard(u32 side, u32 position, u32 delay) {
  SCardSide& s = sides[side];
  u32 index = 0;
  if (s.deck.count == 0 && cardSet) cardSet->BuildDeck(s.deckKind, s.deck);
  if (!s.deck.TakeTop(index) || !cardSet) return;
  if (s.deck.count == 0) cardSet->BuildDeck(s.deckKind, s.deck);
  UpdateDeck(side);
  const SCardType* card = cardSet->CardAt(s.deckKind, index);
  s.hand[position] = card;
  SCardCtrl& control = hands[side][position];
  control.SetCard(LookOf(card), side == kPlayer ? 1 : 0, screenPictures);
  const i32 homeX = control.homeX, homeY = control.homeY;
  control.SetPos(decks[side].left, decks[side].top);
  QueueFlight(control, card, side, position, homeX, homeY, delay, false);
}

void SStateCard::QueueFlight(SCardCtrl& control, const SCardType* card, u32 side, u32 position, i32 toX, i32 toY,
                             u32 delay, bool play) {
  SCardFlight* f = new (std::nothrow) SCardFlight;
  if (!f || !flights.Add(f)) {
    delete f;
    // No room to animate: the card lands at once.
    control.SetPos(u16(toX), u16(toY));
    SCardFlight now;
    now.control = &control;
    now.card = card;
    now.side = side;
    now.position = position;
    now.playOnArrival = play ? 1 : 0;
    FinishFlight(now);
    return;
  }
  f->x = i32(control.left) << 8;
  f->y = i32(control.top) << 8;
  f->targetX = toX;
  f->targetY = toY;
  f->stepX = ((toX << 8) - f->x) / i32(kFlightFrames);
  f->stepY = ((toY << 8) - f->y) / i32(kFlightFrames);
  f->framesLeft = kFlightFrames;
  f->delay = delay;
  f->control = &control;
  f->card = card;
  f->side = side;
  f->position = position;
  f->playOnArrival = play ? 1 : 0;
  // Hidden until it leaves.
  control.Hide();
  Changed();
}

void SStateCard::MoveFlights() {
  for (i32 i = 0; i < i32(flights.Count()) && !gameOver; ++i) {
    SCardFlight* f = flights.At(i);
    if (f->delay > 0) {
      if (--f->delay == 0) PlaySound("bsnd_card");
      continue;
    }
    SCardCtrl& c = *f->control;
    if (!c.IsShown()) c.Show(true);
    f->x += f->stepX;
    f->y += f->stepY;
    c.SetPos(u16(f->x >> 8), u16(f->y >> 8));
    if (--f->framesLeft > 0) continue;
    c.SetPos(u16(f->targetX), u16(f->targetY));
    flights.Remove(f);
    --i;
    const SCardFlight done = *f;
    delete f;
    FinishFlight(done);
  }
  Changed();
}

void SStateCard::FinishFlight(const SCardFlight& f) {
  SCardCtrl& c = *f.control;
  if (!c.IsShown()) c.Show(true);
  if (!f.playOnArrival) return;
  const u32 multiplier = comboPending ? comboMultiplier : 1;
  comboPending = 0;
  comboMultiplier = 1;
  i32 unused = 0;
  ResolveCardPlay(cardSet, this, f.card, f.side, kCardPlayed, unused, 0, multiplier);
  TickMarkers(f.side);
  if (const SCardLook* look = LookOf(f.card)) table.ShowCard(*look);
  tableCard = f.card;
  sides[f.side].hand[f.position] = nullptr;
  c.SetPos(u16(c.homeX), u16(c.homeY));
  c.raised = 0;
  c.SetCard(nullptr, 0, screenPictures);
  if (!gameOver) {
    waiting = 1;
    waitStart = GetTicks();
    waitDuration = kWaitMs;
  }
  Changed();
}

void SStateCard::PlayCard(u32 side, u32 position) {
  SCardCtrl& c = hands[side][position];
  const SCardType* card = sides[side].hand[position];
  if (!card) return;
  c.raised = 0;
  QueueFlight(c, card, side, position, table.left, table.top, 0, true);
}

void SStateCard::SelectCard(u32 position) {
  LowerHand();
  selected = i32(position);
  hands[kPlayer][position].SetRaised(true);
  ShowCardText(sides[kPlayer].hand[position], ~0u);
}

void SStateCard::LapseCombo() {
  comboPending = 0;
  comboMultiplier = 1;
}

void SStateCard::ComputerPlays() {
  const i32 position = ChooseCard(kComputer);
  if (position < 0) {
    // Nothing to play: the combo lapses and the turn passes as after a played card.
    LapseCombo();
    PassToPlayer();
    return;
  }
  const SCardType* card = sides[kComputer].hand[position];
  ShowCardText(card, ~0u);
  hands[kComputer][position].SetCard(LookOf(card), 1, screenPictures);
  PlayCard(kComputer, u32(position));
}

void SStateCard::PassToPlayer() {
  turn = kTurnPlayer;
  LowerHand();
  u32 delay = 0;
  for (u32 position = 0; position < SCardSide::kHand; ++position)
    for (u32 side : {kPlayer, kComputer})
      if (!sides[side].hand[position]) {
        DrawCard(side, position, delay);
        delay += kDealStep;
      }
}

void SStateCard::EndWait() {
  waiting = 0;
  flashStruck = flashActive = 0;
  for (u32 s = 0; s < 2; ++s) {
    portraits[s].SetHit(nullptr);
    for (SCardSignCtrl& m : markerCtrls[s]) m.ClearMarks();
  }
  RemoveSpentMarkers(kPlayer);
  RemoveSpentMarkers(kComputer);
  Changed();
  if (turn == kTurnPlayer) {
    if (comboPending && sides[kPlayer].CardsInHand() > 0) return;  // the player plays again
    LapseCombo();
    turn = kTurnComputer;
    ComputerPlays();
    return;
  }
  if (comboPending) {
    ComputerPlays();
  } else {
    PassToPlayer();
  }
}

void SStateCard::EndMatch(bool playerWon) {
  if (gameOver) return;
  gameOver = 1;
  won = playerWon ? 1 : 0;
  waiting = 0;
  SString text;
  if (playerWon) {
    const u64 payout = u64(bet) * 2;
    if (core) core->player.GainMoney(i32(payout > kMoneyCap ? kMoneyCap : payout), false, false);
    text.Format("You win! The bet is yours, %u%c.", u32(payout > 0xFFFFFFFFu ? 0xFFFFFFFFu : payout), kCoin);
  } else {
    text.Format("You lost your bet, %u%c.", bet, kCoin);
  }
  if (core && core->stateGame) core->stateGame->PassHours(1);
  if (core && core->observer) core->observer->OnMessage("card game", "message box", text.CStr(), kOk);
  if (core) core->ShowMessageBox(text.CStr(), kOk, &boxText, &box, this);
  Changed();
}

// ---- input and ticks

u32 SStateCard::OnCommand(u16 code) {
  // The open question is answered even while cards fly; everything else waits for them.
  if (child != &box && !gameOver && !flights.IsEmpty()) return 0;
  if (child == &box) {
    if (code != kOk && code != kYes && code != kNo) return 0;
    CloseChild();
    Changed();
    if (code == kOk) return gameOver ? u32(kStateReturn) : 0;
    if (code == kYes) EndMatch(false);
    return 0;
  }
  const i32 position = HandPosition(code);
  if (position >= 0) {
    PlaySound("bsnd_cardselect");
    if (!PlayerMayPlay() || !sides[kPlayer].hand[position]) return 0;
    if (selected == position) {
      selected = -1;
      PlayCard(kPlayer, u32(position));
    } else {
      SelectCard(u32(position));
    }
    return 0;
  }
  if (code == kTableId) {
    if (!tableCard) return 0;
    PlaySound("bsnd_cardselect");
    LowerHand();
    ShowCardText(tableCard, ~0u);
    return 0;
  }
  for (u32 s = 0; s < 2; ++s)
    for (u32 i = 0; i < SCardSide::kMarkers; ++i)
      if (code == kMarkerIds[s][i]) {
        PlaySound("bsnd_cardselect");
        if (turn != kTurnPlayer) return 0;
        LowerHand();
        ShowMarkerText(s, i);
        return 0;
      }
  if (code == kGiveUpId) {
    Click(0);
    const char* question = "Do you want to give up?";
    if (core && core->observer) core->observer->OnMessage("card game", "message box", question, kYes | kNo);
    if (core) core->ShowMessageBox(question, kYes | kNo, &boxText, &box, this);
    Changed();
  }
  return 0;
}

u32 SStateCard::OnTick(u32 frameCounter, SDisplay* screen) {
  if (!gameOver) {
    if (waiting) {
      if (GetTicks() - waitStart >= waitDuration) EndWait();
    } else if (!flights.IsEmpty()) {
      MoveFlights();
    }
  }
  if (child) {
    Paint();
    return 0;
  }
  const u32 next = SState::OnTick(frameCounter, screen);
  return gameOver ? 0 : next;
}
