// The people's services through the real program: the sample town's merchant, innkeeper and trainer
// called by their services, the interior's menu, the shop over a stock container of the current map, and
// the repair shop, training and rest dialogs.
#pragma once
#include "ConversationScreen.h"
#include "core/SStateNumbers.h"
#include "player/SPlayer.h"
#include "screens/SStateDialogInterior.h"
#include "screens/SStateShop.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SPeopleTables.h"

#include <string>

struct ServicesScreen : ConversationScreen {
  explicit ServicesScreen(i32 mode = 7) : ConversationScreen(mode) {}

  SStateDialogInterior& interior() { return *static_cast<SStateDialogInterior*>(core().states[kStateDialogInterior]); }
  SStateShop& shop() { return *static_cast<SStateShop*>(core().states[kStateShop]); }
  SNpc* Person(const char* name) { return core().world.rules.people.FindByName(name); }
  SItemType* Type(const char* name) { return core().world.items.FindType(name); }

  // Calls a person that has an interior and waits for its menu.
  testing::AssertionResult Visit(const char* person) {
    state().QueueService(person);
    testing::AssertionResult in = game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 20);
    if (in) game.frame();
    return in;
  }

  // A stock container of the player's map with the given id, empty and marked stocked (so the shop leaves
  // it as the test fills it), made the speaker's area.
  SItemContainer& Stock(u8 id) {
    SMapArea* area = state().window.CurrentArea();
    context().thisArea = area;
    SItemContainer* c = area->FindContainerById(id);
    if (!c) {
      c = area->AddContainer();
      c->id = id;
    }
    c->DeleteAllItems();
    c->flags = u8(c->flags | 0x80);
    return *c;
  }

  // From the interior to the shop with a speaker whose shop container has this id.
  testing::AssertionResult OpenShop(u8 containerId) {
    SStateDialogInterior& in = interior();
    in.params[0] = 0;
    in.params[1] = SStateDialog::PersonWord(&core(), in.person);
    in.params[2] = SStateShop::SpeakerWord(containerId);
    in.keep = 1;
    game.setState(kStateShop, in.params[0], in.params[1], in.params[2], 0);
    if (game.state() != kStateShop) return testing::AssertionFailure() << "not in the shop";
    game.frame();
    return testing::AssertionSuccess();
  }

  // A new item as the world makes one (a wand with its charges, a weapon in full condition), or `count`.
  SItem* NewItem(const char* type, u16 count = 0) {
    SItemType* t = Type(type);
    if (!t) return nullptr;
    auto* item = new SItem;
    item->type = t;
    item->count = count ? count : t->DefaultCount(100, *core().random);
    return item;
  }

  // The menu's captions, in slot order.
  std::string Menu() {
    std::string s;
    for (const GameHarness::Control& c : game.controls())
      if (c.dialog == "SStateDialogInterior" && c.type == "SButtonCtrl" && !c.text.empty()) s += c.text + "|";
    return s;
  }

  // The shop's status or description body, its wrapped lines joined by spaces.
  std::string Status() {
    const SStateShop& s = shop();
    std::string out;
    for (u32 i = 0; i < s.description.pages.Count(); ++i)
      out += s.description.pages[i].CStr() ? s.description.pages[i].CStr() : "";
    for (char& c : out)
      if (c == '\r') c = ' ';
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
  }
};
