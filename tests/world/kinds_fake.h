// A recording stand-in for the game services the map-object kinds call: every call that shows, plays,
// queues or changes something is logged as one line; what the kinds read is set in plain fields.
#pragma once
#include "foundation/SRandom.h"
#include "foundation/SString.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SMapCell.h"
#include "world/SMapObjectType.h"
#include "world/SSpell.h"
#include "world/kinds/SMapKindServices.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

class FakeKindServices : public SMapKindServices {
 public:
  // Clock, view and random numbers.
  bool night = false;
  bool dayNight = false;
  u32 counters[2] = {0, 0};
  std::deque<i32> randoms;  // handed out in order (clamped to n - 1), then 0
  std::map<u16, std::pair<i32, i32>> imageSizes;
  // Player and cells.
  i32 playerX = 0, playerY = 0, facing = 0;
  bool stepping = false;
  SMapCell* playerCell = nullptr;
  bool lacksWalls = true;
  u8 highlight = 0;
  u16 handles[4] = {0, 0, 0, 0};
  i16 spikes[2][4][4] = {};
  i16 spots[2][7] = {};
  i32 disarm = 0, armour = 0, weight = 0;
  bool lockPicks = false;
  bool serviceOpens = false;
  std::map<std::string, u32> carried;
  SItemContainer* cellBag = nullptr;
  const char* spell = nullptr;
  i32 spellLevel = 0;
  std::map<std::string, std::string> itemPalettes;
  SItemTable* items = nullptr;
  SSpellTable* spells = nullptr;
  SMapObjectType* fallbackWall = nullptr;
  SRandom rng;

  std::vector<std::string> log;
  std::string Log() const {
    std::string all;
    for (const std::string& line : log) all += line + "\n";
    return all;
  }

  bool IsNight() override { return night; }
  bool HasDayNightCycle() override { return dayNight; }
  u32 AnimationCounter(u32 which) override { return counters[which & 1]; }
  i32 Random(i32 n) override {
    if (n <= 0 || randoms.empty()) return 0;
    i32 v = randoms.front();
    randoms.pop_front();
    return v < n ? v : n - 1;
  }
  SRandom& Rng() override { return rng; }
  void ImageSize(u16 image, i32& w, i32& h) override {
    auto it = imageSizes.find(image);
    w = it == imageSizes.end() ? 0 : it->second.first;
    h = it == imageSizes.end() ? 0 : it->second.second;
  }
  void PlayerPosition(i32& x, i32& y) override {
    x = playerX;
    y = playerY;
  }
  i32 PlayerFacing() override { return facing; }
  bool PlayerStepping() override { return stepping; }
  SMapCell* PlayerCell() override { return playerCell; }
  bool LacksWallsEastWest() override { return lacksWalls; }
  u8& HighlightCounter() override { return highlight; }
  u16 HandleImage(u32 method) override { return handles[method & 3]; }
  i16 SpikePlacement(u32 table, u32 f, u32 i) override { return spikes[table & 1][f & 3][i & 3]; }
  i16 GroupSpot(u32 table, u32 spot) override { return spot < 7 ? spots[table & 1][spot] : 0; }

  void PlaySound(const char* name, i32 volume) override {
    log.push_back("sound " + std::string(name ? name : "-") + " " + std::to_string(volume));
  }
  void QueueMessage(const char* text, u32 flag, const char* sound) override {
    log.push_back("message " + std::string(text) + " |" + std::to_string(flag) + " " +
                  (sound ? (*sound ? sound : "none") : "click"));
  }
  void QueuePrompt(const char* text, SMapArea*, SMapObjectInst*, SMapCell*, SMapObjectType*, i32 value, u8 f1, u8 f2,
                   u8 f3) override {
    log.push_back("prompt " + std::string(text) + " |" + std::to_string(value) + " " + std::to_string(f1) +
                  std::to_string(f2) + std::to_string(f3));
  }
  void TeleportToPosition(const char* position, i32 kind) override {
    log.push_back("teleport " + std::string(position) + " " + std::to_string(kind));
  }
  void QueueMapTransition(const char* position, const char* question, i32 kind, i32 flag) override {
    log.push_back("transition " + std::string(position) + " " + question + " " + std::to_string(kind) + " " +
                  std::to_string(flag));
  }
  void OpenBag(SMapArea*, SMapObjectInst* inst) override {
    log.push_back("openbag " + std::to_string(inst ? inst->containerId : 0));
  }
  void EnterService(SMapArea*, SMapObjectInst*, SMapObjectType* type, bool& closed) override {
    log.push_back("service " + std::string(type ? type->name.Text() : "-"));
    if (serviceOpens) closed = false;
  }
  void RefreshServiceScreens() override { log.push_back("refresh services"); }
  i32 GetContainerWeight(SMapArea*, SMapObjectInst*, SMapCell*) override { return weight; }
  SItemContainer* PlayerCellContainer(SMapArea*) override { return cellBag; }
  i32 DisarmValue() override { return disarm; }
  i32 ArmorClass() override { return armour; }
  void ChangeHp(i32 delta) override { log.push_back("hp " + std::to_string(delta)); }
  void ShowPlayerHit(i32 damage, i32 direction) override {
    log.push_back("hit " + std::to_string(damage) + " " + std::to_string(direction));
  }
  u32 CountItems(SItemType* type) override {
    auto it = carried.find(type->name.Text());
    return it == carried.end() ? 0 : it->second;
  }
  void LoseItems(SItemType* type, u32 count) override {
    carried[type->name.Text()] -= count;
    log.push_back("lose " + std::string(type->name.Text()) + " " + std::to_string(count));
  }
  void AddItems(SItemType* type, u32 count) override {
    carried[type->name.Text()] += count;
    log.push_back("add " + std::string(type->name.Text()) + " " + std::to_string(count));
  }
  bool HasLockPicks() override { return lockPicks; }
  void FormatItemName(SItemType* type, u32, SString& out) override { out.Assign(type->name.Text()); }
  const char* ItemPaletteName(SItemType* type) override {
    auto it = itemPalettes.find(type->name.Text());
    return it == itemPalettes.end() ? nullptr : it->second.c_str();
  }
  void RaiseCrime(i32 amount, i32 cap) override {
    log.push_back("crime " + std::to_string(amount) + " " + std::to_string(cap));
  }
  const char* CurrentSpell() override { return spell; }
  i32 CurrentSpellLevel() override { return spellLevel; }
  void ExpandTextMacros(SString& text) override { text.ReplaceAll("%PCName%", "Ayla"); }
  void ShowScriptMessage(const char* text) override { log.push_back("line " + std::string(text)); }
  SMapObjectType* FallbackWallType() override { return fallbackWall; }
  SItemTable* Items() override { return items; }
  SSpellTable* Spells() override { return spells; }
};

// A table with services and kinds made by class number, with image indices set directly (image i of a
// type made with n images is index base + i, so records show which position was fetched).
struct KindFixture {
  SMapObjectTypeTable table;
  FakeKindServices game;

  KindFixture() { table.services = &game; }

  SMapObjectType* Make(const char* name, u32 classNumber, u32 images = 0, u16 base = 100) {
    SMapObjectType* t = SMapObjectType::Create(&table, classNumber);
    t->name.Set(name);
    for (u32 i = 0; i < images; ++i) {
      t->imageNames.Add(const_cast<char*>("img"));
      t->imageIndices.Add(u16(base + i));
    }
    table.AddType(t);
    return t;
  }
};
