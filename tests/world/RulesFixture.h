// World fixtures with a player over the world's rule tables and the game's hooks recorded.
#pragma once
#include "WorldFixture.h"
#include "player/SPlayer.h"
#include "support/MakeEffect.h"
#include "world/SWorldRules.h"

#include <map>
#include <set>

// The game services the rule tables call, answered from fields.
struct RecordingHooks : SGameHooks {
  void QueueMessage(const char* text, const char*) override { messages.push_back(text ? text : ""); }
  u32 HourOfDay() override { return hour; }
  bool GlobalValue(const char* name, i32& value) override {
    auto it = globals.find(name ? name : "");
    if (it == globals.end()) return false;
    value = it->second;
    return true;
  }
  bool MonsterBaseTypeExists(const char* name) override { return name && baseTypes.count(name); }
  i32 DisplayMode() override { return mode; }
  void ConvertNumberGlyphs(SString& text) override { text.Append(glyphMark); }

  std::vector<std::string> messages;
  u32 hour = 12;
  std::map<std::string, i32> globals;
  std::set<std::string> baseTypes;
  i32 mode = 9;
  const char* glyphMark = "";
};

class RulesFixture : public WorldFixture {
 protected:
  RulesFixture() {
    rules.hooks = &hooks;
    player.AttachRules(&rules);
  }
  ~RulesFixture() override {
    modules.Clear();
    rules.Unload();
  }

  // Writes "Base" with the given blocks at a version and opens it; the loader's message on failure.
  std::string OpenBase(worldbuild::WorldArchiveSpec spec) {
    Save(spec, "Base");
    if (modules.OpenArchive("Base") == SArchiveResult::kOpened) return "";
    return modules.LastError();
  }

  RecordingHooks hooks;
  SWorldRules& rules = world.rules;
  SPlayer player;
};
