// Conversations through the real program: the game state on the sample town, a person called by its
// service (as a script's talknpc does) or a monster spoken to, and the conversation screen read back as
// its answer text, its buttons and what it left in the script context.
#pragma once
#include "core/SGameCore.h"
#include "game/WalkGame.h"
#include "player/SPlayer.h"
#include "screens/SStateDialog.h"
#include "script/SScriptContext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct ConversationScreen : WalkGame {
  explicit ConversationScreen(i32 mode = 7, u32 minutes = 1440 + 12 * 60, bool monsters = false)
      : WalkGame(GameHarness::forMode(mode)) {
    withMonsters = monsters;
    entered = Enter("base_out0101", 15, 20, 180, minutes);
    core().player.name.Assign("Ada");
  }

  SStateDialog& talk() { return *static_cast<SStateDialog*>(core().states[kStateDialog]); }
  SScriptContext& context() { return *core().scriptContext; }

  // Calls the person and waits until the greeting has been said.
  testing::AssertionResult Call(const char* person) {
    state().QueueService(person);
    return Opened();
  }
  testing::AssertionResult Opened() {
    testing::AssertionResult in = game.waitUntil(GameHarness::stateIs(kStateDialog), 20);
    if (!in) return in;
    game.frame(2);
    return testing::AssertionSuccess();
  }

  // Switches to the state an opener chose, with the words it set.
  void Switch(u32 next) {
    const u32* w = state().params;
    game.setState(i32(next), w[0], w[1], w[2], w[3]);
  }

  // The answer text as shown and waiting, a line each: "- " before a bulleted line, "[n] " before a line
  // of colour n other than the speaker's.
  std::vector<std::string> Lines() {
    std::vector<std::string> out;
    auto add = [&](const STextLine& l) {
      if (l.text.IsEmpty() || std::string(l.text.CStr()) == " ") return;
      std::string s = l.colour ? "[" + std::to_string(l.colour) + "] " : "";
      out.push_back(s + (l.bullet ? "- " : "") + l.text.CStr());
    };
    for (const STextLine& l : talk().text.page) add(l);
    for (u32 i = talk().text.firstWaiting; i < talk().text.waiting.Count(); ++i) add(talk().text.waiting[i]);
    return out;
  }
  std::string LastLines(size_t n) {
    const std::vector<std::string> all = Lines();
    std::string s;
    for (size_t i = all.size() > n ? all.size() - n : 0; i < all.size(); ++i) s += all[i] + "\n";
    return s;
  }
  // The captions of the visible buttons of the conversation, in the order the screen holds them, with the
  // disabled ones marked.
  std::string Buttons() {
    std::string s;
    for (const GameHarness::Control& c : game.controls())
      if ((c.type == "STopicButtonCtrl" || c.type == "SButtonCtrl") && !c.text.empty())
        s += c.text + ((c.flags & SCtrl::kEnabled) ? "" : " (off)") + "|";
    return s;
  }
  bool HasControl(u32 id) {
    for (const GameHarness::Control& c : game.controls())
      if (c.id == id) return true;
    return false;
  }
  void Tap(u32 id) {
    game.tapControl(id);
    game.frame();
  }

  bool entered = false;
};
