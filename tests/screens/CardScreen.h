// The card game through the real program: the harness boots it headless with the sample world open, and a
// small owner state stands where the conversation and the interior will, holding the bet dialog and
// doing with its answers what they will do (check the purse, start the card game with the bet and the
// partner, keep itself on the stack).
#pragma once
#include "core/SGameCore.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SState.h"
#include "dialogs/SDialogCardBet.h"
#include "foundation/SRandom.h"
#include "graphics/SDisplay.h"
#include "screens/SStateCard.h"
#include "support/GameHarness.h"
#include "world/SPeopleTables.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

class BetOwner : public SState {
 public:
  void Attach(SGameCore* gameCore) override {
    SState::Attach(gameCore);
    bet.Attach(gameCore);
    box.Attach(gameCore);
  }
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override {
    SState::Enter(w0, w1, w2, w3);
    SetBlackBackground();
    left = top = 0;
    width = display ? display->Width() : 0;
    height = display ? display->Height() : 0;
  }
  void Resume() override {
    ++resumed;
    SState::Resume();
  }
  // "Cards": the bet dialog as the modal child.
  void OpenBet(const SNpc* person) {
    partner = person;
    bet.Open(person);
    OpenChild(&bet);
    SetFullRepaint();
  }
  u32 OnCommand(u16 code) override {
    if (child == &bet && (code == SDialogCardBet::kAccept || code == SDialogCardBet::kCancel)) {
      CloseChild();
      SetFullRepaint();
      if (code == SDialogCardBet::kCancel) return 0;
      if (!core->player.HasMoney(u32(bet.bet))) {
        core->ShowMessageBox("You don't have enough money.", SDialogMessage::kOk, &boxText, &box, this);
        return 0;
      }
      params[0] = u32(bet.bet);
      params[1] = SStateCard::PartnerWord(core, partner);
      params[2] = params[3] = 0;
      keep = 1;
      return kStateCard;
    }
    if (child == &box && code == SDialogMessage::kOk) {
      CloseChild();
      SetFullRepaint();
    }
    return 0;
  }
  // Whatever is open over it is painted with it.
  u32 OnTick(u32, SDisplay*) override {
    Paint();
    return 0;
  }

  SDialogCardBet bet;
  SDialogMessage box;
  SDialogTextCtrl boxText;
  const SNpc* partner = nullptr;
  u32 resumed = 0;
};

// A booted program on a screen size with the sample world open and the owner in the conversation's
// place; the player's face set, the money given, the generator seeded.
// Every screen a device selects, as the card screen opens on it: the window's size, the orientation it
// starts in (1: turned, for the landscape pictures on a portrait window) and the display mode that follows.
struct CardScreenSize {
  int width, height;
  u32 startMode;
  i32 mode;
};
inline constexpr CardScreenSize kCardScreenSizes[] = {{240, 320, 1, 6},  {240, 320, 0, 7},  {240, 240, 0, 8},
                                                      {480, 640, 1, 9},  {480, 640, 0, 10}, {480, 480, 0, 11},
                                                      {800, 480, 0, 14}, {800, 600, 0, 15}, {640, 240, 0, 16}};

struct CardScreen {
  CardScreen(int width, int height, u32 seed = 2024, u32 startMode = 0) {
    GameHarness::Options o;
    o.width = width;
    o.height = height;
    o.startMode = startMode;
    game = std::make_unique<GameHarness>(o);
    ready = game->boot();
    if (!ready) return;
    SGameCore& core = game->core();
    ready = core.world.modules.OpenGameArchives(nullptr);
    if (!ready) return;
    core.PrepareWorldTables(nullptr);
    core.BindWorldResources(nullptr);
    core.player.portrait.Assign("bres_head34");
    core.player.money = 500;
    core.random->Seed(core.random->Owner(), seed);
    owner.Attach(&core);
    core.states[kStateDialog] = &owner;
    game->setState(kStateDialog);
  }
  ~CardScreen() {
    if (game && ready) game->core().states[kStateDialog] = nullptr;
  }

  SGameCore& core() { return game->core(); }
  SStateCard& card() { return *static_cast<SStateCard*>(core().states[kStateCard]); }
  // The innkeeper, whose maximum bet is 150 (set here: the sample's people do not carry one yet).
  SNpc* Innkeeper() {
    SNpc* person = core().world.rules.people.FindByName("base_innkeeper");
    if (person) person->param16 = 150;
    return person;
  }
  void OpenBet(const SNpc* person) {
    owner.OpenBet(person);
    game->frame();
  }
  // Accepts the bet dialog's amount and waits until the deal is over.
  testing::AssertionResult StartMatch() {
    game->tap(SDialogCardBet::kLayout, SDialogCardBet::kAccept);
    if (game->state() != kStateCard) return testing::AssertionFailure() << "no card game, state " << game->state();
    return WaitIdle();
  }
  // Until no card flies and no wait runs (or the match is over).
  testing::AssertionResult WaitIdle(u32 frames = 400) {
    return game->waitUntil({"the card table at rest",
                            [this](const GameHarness&) {
                              SStateCard& s = card();
                              return s.gameOver || (s.flights.IsEmpty() && !s.waiting);
                            }},
                           frames);
  }
  // Until the player may play (or the match is over).
  testing::AssertionResult WaitForPlayer(u32 frames = 600) {
    return game->waitUntil({"the player's turn",
                            [this](const GameHarness&) {
                              SStateCard& s = card();
                              return s.gameOver || (s.PlayerMayPlay() && !s.waiting);
                            }},
                           frames);
  }
  // The player's hand position tapped twice: selected, then played.
  void Play(u32 position) {
    game->tap(SStateCard::kLayout, SStateCard::kHandIds[SStateCard::kPlayer][position]);
    game->tap(SStateCard::kLayout, SStateCard::kHandIds[SStateCard::kPlayer][position]);
  }
  // A button of the message box, by its caption.
  bool TapBoxButton(const std::string& caption) {
    for (const GameHarness::Control& c : game->controls())
      if (c.type == "SCtrlMessageButton" && c.text == caption) {
        game->penDown(c.x + c.width / 2, c.y + c.height / 2);
        game->penUp(c.x + c.width / 2, c.y + c.height / 2);
        return true;
      }
    return false;
  }
  // The body text of the open message box, or "".
  std::string BoxText() {
    for (const GameHarness::Control& c : game->controls())
      if (c.type == "SDialogTextCtrl") return c.text;
    return "";
  }
  u32 Sounds(const std::string& name) const {
    u32 n = 0;
    for (const GameHarness::Sound& s : game->sounds()) n += s.name == name;
    return n;
  }

  BetOwner owner;  // outlives the program that points at it
  std::unique_ptr<GameHarness> game;
  bool ready = false;
};
