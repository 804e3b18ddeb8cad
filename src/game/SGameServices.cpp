#include "game/SGameServices.h"

#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "script/SDialogConditions.h"
#include "script/SDialogEntry.h"
#include "script/SScriptContext.h"

// ---- kinds' services

bool SGameKindServices::IsNight() { return state.IsNight(); }
bool SGameKindServices::HasDayNightCycle() { return state.HasDayNightCycle(); }

u32 SGameKindServices::AnimationCounter(u32 which) {
  return state.core ? state.core->frameTimers[which & 1].counter : 0;
}

i32 SGameKindServices::Random(i32 n) { return n > 0 ? state.Random().Next(n) : 0; }
SRandom& SGameKindServices::Rng() { return state.Random(); }

void SGameKindServices::ImageSize(u16 image, i32& width, i32& height) {
  width = height = 0;
  if (!state.core) return;
  width = state.core->world.images.SlotWidth(image);
  height = state.core->world.images.SlotHeight(image);
}

void SGameKindServices::PlayerPosition(i32& x, i32& y) {
  x = state.window.playerX;
  y = state.window.playerY;
}

i32 SGameKindServices::PlayerFacing() { return state.facing; }
bool SGameKindServices::PlayerStepping() { return state.stepping != 0; }
SMapCell* SGameKindServices::PlayerCell() { return state.window.Cell(state.window.playerX, state.window.playerY); }
bool SGameKindServices::LacksWallsEastWest() { return state.LacksWallsEastWest(); }

u8& SGameKindServices::HighlightCounter() { return state.highlightCounter; }
u16 SGameKindServices::HandleImage(u32 method) { return state.doorImages[method & 3]; }

i16 SGameKindServices::SpikePlacement(u32 table, u32 facing, u32 i) {
  return state.spikePlacement[table & 1][facing & 3][i & 3];
}

i16 SGameKindServices::GroupSpot(u32 table, u32 spot) {
  if (spot >= 7) return 0;
  return i16(u16(table & 1 ? SGameCore::kGroupOffsetY[spot] : SGameCore::kGroupOffsetX[spot]));
}

void SGameKindServices::PlaySound(const char* name, i32 volume) {
  if (state.core && name && *name) state.core->world.sounds.PlayByName(name, volume);
}

void SGameKindServices::QueueMessage(const char* text, u32 flag, const char* sound) {
  state.QueueMessage(text, flag, sound);
}

void SGameKindServices::QueuePrompt(const char* text, SMapArea* area, SMapObjectInst* inst, SMapCell* cell,
                                    SMapObjectType* type, i32 value, u8 flag1, u8 flag2, u8 flag3) {
  state.QueuePrompt(text, area, inst, cell, type, value, flag1, flag2, flag3);
}

void SGameKindServices::TeleportToPosition(const char* position, i32 kind) {
  state.TeleportToPosition(position, kind > 0 ? u32(kind) : 0);
}

const char* SGameKindServices::CurrentSpell() {
  const SScriptContext* context = state.core ? state.core->scriptContext : nullptr;
  return context && !context->spellName.IsEmpty() ? context->spellName.CStr() : nullptr;
}

i32 SGameKindServices::CurrentSpellLevel() {
  const SScriptContext* context = state.core ? state.core->scriptContext : nullptr;
  return context ? context->spellNumber : 0;
}

void SGameKindServices::ExpandTextMacros(SString& text) {
  if (state.core && state.core->scriptContext) state.core->scriptContext->ExpandTextMacros(text);
}

void SGameKindServices::QueueMapTransition(const char* position, const char* question, i32 kind, i32 flag) {
  state.QueueMapTransition(position, question, u32(kind), u32(flag));
}

void SGameKindServices::OpenBag(SMapArea* area, SMapObjectInst* inst) { state.OpenBag(area, inst); }

void SGameKindServices::EnterService(SMapArea* area, SMapObjectInst* inst, SMapObjectType*, bool& closed) {
  closed = !state.EnterService(inst, inst ? inst->targetText : nullptr, area, false);
}

i32 SGameKindServices::GetContainerWeight(SMapArea* area, SMapObjectInst* inst, SMapCell* cell) {
  return state.window.GetContainerWeight(area, inst, cell);
}

SItemContainer* SGameKindServices::PlayerCellContainer(SMapArea* area) {
  const SMapCell* cell = PlayerCell();
  return cell && cell->bagId && area ? area->FindContainerById(u8(cell->bagId)) : nullptr;
}

i32 SGameKindServices::DisarmValue() { return state.core ? state.core->player.GetSkill(19) : 0; }
i32 SGameKindServices::ArmorClass() { return state.core ? state.core->player.GetArmorClassPlain() : 0; }

void SGameKindServices::ChangeHp(i32 delta) {
  if (state.core) state.core->player.ChangeHp(delta, true);
}

void SGameKindServices::ShowPlayerHit(i32 damage, i32 direction) { state.ShowPlayerHit(damage, direction); }

u32 SGameKindServices::CountItems(SItemType* type) {
  return state.core && type ? state.core->player.CountItems(type->name.Text()) : 0;
}

void SGameKindServices::LoseItems(SItemType* type, u32 count) {
  if (state.core && type) state.core->player.LoseItems(type->name.Text(), i32(count));
}

void SGameKindServices::AddItems(SItemType* type, u32 count) {
  if (state.core && type) state.core->player.AddItems(type, i32(count));
}

bool SGameKindServices::HasLockPicks() { return state.core && state.core->player.HasQuiver(); }

void SGameKindServices::FormatItemName(SItemType* type, u32 count, SString& out) {
  if (state.core && type) state.core->player.FormatItemName(type, count, out);
}

const char* SGameKindServices::ItemPaletteName(SItemType* type) {
  if (!type || !type->table) return nullptr;
  const SItemTextPicture* record = type->table->FindTextPicture(type->text2);
  const SItemPicture* picture = record ? type->table->FindPicture(record->text2) : nullptr;
  return picture && picture->palettes.Count() ? picture->palettes.Text(0) : nullptr;
}

void SGameKindServices::RaiseCrime(i32 amount, i32 cap) {
  if (!state.core || amount <= 0) return;
  SPlayer& player = state.core->player;
  const u64 raised = u64(player.crime) + u64(amount);
  player.crime = raised > u64(cap > 0 ? cap : 0) ? u32(cap > 0 ? cap : 0) : u32(raised);
}

void SGameKindServices::ShowScriptMessage(const char* text) {
  if (state.core && state.core->scriptContext) state.core->scriptContext->ShowMessage(text, 0);
}

SMapObjectType* SGameKindServices::FallbackWallType() {
  return state.core ? state.core->world.mapObjectTypes.FirstOfClass(1) : nullptr;
}

SItemTable* SGameKindServices::Items() { return state.core ? &state.core->world.items : nullptr; }
SSpellTable* SGameKindServices::Spells() { return state.core ? &state.core->world.rules.spells : nullptr; }

// ---- rules' hooks

void SGameRuleHooks::QueueMessage(const char* text, const char* sound) { state.QueueMessage(text, 1, sound); }
u32 SGameRuleHooks::HourOfDay() { return state.HourOfDay(); }

bool SGameRuleHooks::GlobalValue(const char* name, i32& value) {
  if (!state.core || !name) return false;
  const SGlobalVariable* v = state.core->world.globals.Find(name);
  if (!v) return false;
  value = v->value.Int();
  return true;
}

bool SGameRuleHooks::MonsterBaseTypeExists(const char* name) {
  return state.core && name && state.core->world.monsters.FindBaseType(name) != nullptr;
}

i32 SGameRuleHooks::DisplayMode() { return state.core ? state.core->displayMode : 0; }
i32 SGameRuleHooks::Random(i32 n) { return n > 0 ? state.Random().Next(n) : 0; }
void SGameRuleHooks::ConvertNumberGlyphs(SString& text) { SGameCore::ConvertNumberGlyphs(text); }

bool SGameRuleHooks::ConversationList(const SNpc& person, u32 array, u32 index, SConversationOpening& out) {
  out = SConversationOpening{};
  const auto* pair = static_cast<const SDialogEntryListPair*>(person.conversation);
  if (!pair || array > 1) return false;
  const SPtrArray<SDialogEntryList>& lists = array == 0 ? pair->first : pair->second;
  if (index >= lists.Count()) return false;
  SDialogEntryList* list = lists[i32(index)];
  out.list = list;
  out.title = list ? list->text : nullptr;
  out.entry = FindNextEntryWhoseConditionsHold(list, &person, nullptr, state.core);
  return true;
}
