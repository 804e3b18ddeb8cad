// What the game state answers the world layer: the map-object kinds' services (the clock, the player, the
// event queue, sounds, the view's counters) and the world rules' hooks (display mode, random numbers, the
// number glyphs, the monster table, the script globals, the hour). Each is a small object of the game
// state that calls it back.
#pragma once
#include "world/SRulesContext.h"
#include "world/kinds/SMapKindServices.h"

class SStateGame;

class SGameKindServices : public SMapKindServices {
 public:
  explicit SGameKindServices(SStateGame& game) : state(game) {}

  bool IsNight() override;
  bool HasDayNightCycle() override;
  u32 AnimationCounter(u32 which) override;
  i32 Random(i32 n) override;
  SRandom& Rng() override;
  void ImageSize(u16 image, i32& width, i32& height) override;

  void PlayerPosition(i32& x, i32& y) override;
  i32 PlayerFacing() override;
  bool PlayerStepping() override;
  SMapCell* PlayerCell() override;
  bool LacksWallsEastWest() override;

  u8& HighlightCounter() override;
  u16 HandleImage(u32 method) override;
  i16 SpikePlacement(u32 table, u32 facing, u32 i) override;
  i16 GroupSpot(u32 table, u32 spot) override;

  void PlaySound(const char* name, i32 volume) override;
  void QueueMessage(const char* text, u32 flag, const char* sound) override;
  void QueuePrompt(const char* text, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, SMapObjectType* type,
                   i32 value, u8 flag1, u8 flag2, u8 flag3) override;
  void TeleportToPosition(const char* position, i32 kind) override;
  void QueueMapTransition(const char* position, const char* question, i32 kind, i32 flag) override;

  void OpenBag(SMapArea* area, SMapObjectInst* inst) override;
  void EnterService(SMapArea* area, SMapObjectInst* inst, SMapObjectType* type, bool& closed) override;
  void RefreshServiceScreens() override {}
  i32 GetContainerWeight(SMapArea* area, SMapObjectInst* inst, SMapCell* cell) override;
  SItemContainer* PlayerCellContainer(SMapArea* area) override;

  i32 DisarmValue() override;
  i32 ArmorClass() override;
  void ChangeHp(i32 delta) override;
  void ShowPlayerHit(i32 damage, i32 direction) override;
  u32 CountItems(SItemType* type) override;
  void LoseItems(SItemType* type, u32 count) override;
  void AddItems(SItemType* type, u32 count) override;
  bool HasLockPicks() override;
  void FormatItemName(SItemType* type, u32 count, SString& out) override;
  const char* ItemPaletteName(SItemType* type) override;
  void RaiseCrime(i32 amount, i32 cap) override;

  const char* CurrentSpell() override;
  i32 CurrentSpellLevel() override;
  void ExpandTextMacros(SString& text) override;
  void ShowScriptMessage(const char* text) override;

  SMapObjectType* FallbackWallType() override;
  SItemTable* Items() override;
  SSpellTable* Spells() override;

 private:
  SStateGame& state;
};

class SGameRuleHooks : public SGameHooks {
 public:
  explicit SGameRuleHooks(SStateGame& game) : state(game) {}

  void QueueMessage(const char* text, const char* sound) override;
  u32 HourOfDay() override;
  bool GlobalValue(const char* name, i32& value) override;
  bool MonsterBaseTypeExists(const char* name) override;
  i32 DisplayMode() override;
  i32 Random(i32 n) override;
  void ConvertNumberGlyphs(SString& text) override;
  bool ConversationList(const SNpc& person, u32 array, u32 index, SConversationOpening& out) override;

 private:
  SStateGame& state;
};
