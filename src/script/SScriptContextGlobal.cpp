// The global script functions: script globals, the clock, events, messages and questions, object lists,
// weather and fog, monsters created and removed by scripts, sound, scenes and time.
#include "core/SGameCore.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SDialogMessage.h"
#include "foundation/StrUtil.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "graphics/SImage.h"
#include "screens/SStateDialog.h"
#include "script/SScriptContext.h"
#include "script/SScriptValue.h"
#include "world/SSoundTable.h"
#include "world/SWorldModule.h"

#include <algorithm>
#include <new>

namespace {

// The function ids of the global handler.
enum : u32 {
  kGetGlobal = 100,
  kSetGlobal = 101,
  kIsDaylight = 117,
  kIsNight = 118,
  kGetTime = 119,
  kGetDay = 120,
  kGetHour = 121,
  kGetMinute = 122,
  kGetDayDiff = 123,
  kGetHourDiff = 124,
  kGetMinuteDiff = 125,
  kGetDamage = 127,
  kSetDamage = 128,
  kIsSpell = 129,
  kIsWeapon = 130,
  kItemValue = 142,
  kIsCurrentMap = 168,
  kIsCurrentWorld = 169,
  kAddObjectToList = 170,
  kShowObjectList = 171,
  kGetObjectListResult = 172,
  kMessage = 187,
  kRandom = 188,
  kTalkNpc = 189,
  kSetMapFog = 190,
  kResetMapFog = 191,
  kGetWeatherCloud = 202,
  kSetWeatherCloud = 203,
  kGetWeatherRain = 204,
  kSetWeatherRain = 205,
  kRemoveMonsterTypes = 206,
  kCreateMonsterObj = 207,
  kCreateMonsterPos = 208,
  kCreateMonsterDir = 209,
  kPlaySound = 211,
  kPlayMusic = 212,
  kAttractMonsters = 217,
  kCalmMonsters = 218,
  kPlayScene = 219,
  kPlayCard = 220,
  kEvtStepOn = 221,
  kEvtArrive = 247,
  kDefault = 229,
  kQuestionYesNo = 230,
  kQuestionOkCancel = 231,
  kAnswer = 232,
  kGoodbye = 233,
  kCreateObjectList = 238,
  kEvtEquip = 243,
  kPassTime = 244,
  kEvtRemove = 245,
  kGoNext = 248,
  kPassTimeTo = 249,
  kGoFirst = 250,
  kGetGlobalStr = 252,
  kSetGlobalStr = 253,
};

SScriptValue* Number(i64 n) {
  return SScriptValue::MakeInt(n > 0x7FFFFFFF ? 0x7FFFFFFF : n < -0x7FFFFFFF - 1 ? -0x7FFFFFFF - 1 : i32(n));
}
SScriptValue* Flag(bool b) { return SScriptValue::MakeInt(b ? 1 : 0); }

i32 HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "RRGGBB" as an RGB565 colour; any other text is black.
u16 FogColour(const char* text) {
  if (StrLength(text) != 6) return 0;
  u32 rgb[3] = {};
  for (u32 i = 0; i < 6; ++i) {
    const i32 d = HexDigit(text[i]);
    if (d < 0) return 0;
    rgb[i / 2] = rgb[i / 2] * 16 + u32(d);
  }
  return MakeColor565(rgb[0], rgb[1], rgb[2]);
}

}  // namespace

u32 SScriptContext::CallGlobalFunction(u32 id, const SScriptValue& first, const SScriptValue& second,
                                       const SScriptValue& third, SScriptValue*& result) {
  result = nullptr;
  SStateGame* game = Game();
  SStateDialog* conversation =
      output == kOutputConversation && core ? static_cast<SStateDialog*>(core->states[kStateDialog]) : nullptr;
  switch (id) {
    case kGetGlobal: result = Number(GetGlobalValue(first.Text())); break;
    case kSetGlobal: SetGlobalInt(first.Text(), second.Int()); break;
    case kGetGlobalStr: {
      const char* text = GetGlobalText(first.Text());
      result = SScriptValue::MakeString(text ? text : "");
      break;
    }
    case kSetGlobalStr: SetGlobalText(first.Text(), second.Text()); break;
    case kIsDaylight: result = Flag(IsDaylight()); break;
    case kIsNight: result = Flag(IsNight()); break;
    case kGetTime: result = Number(GetTime()); break;
    case kGetDay: result = Number(GetDay()); break;
    case kGetHour: result = Number(GetHour()); break;
    case kGetMinute: result = Number(GetMinute()); break;
    case kGetDayDiff: result = Number(DaysSince(u32(first.Int()))); break;
    case kGetHourDiff: result = Number(HoursSince(u32(first.Int()))); break;
    case kGetMinuteDiff: result = Number(MinutesSince(u32(first.Int()))); break;
    case kGetDamage: result = Number(damage); break;
    case kSetDamage: damage = first.Int(); break;
    case kIsSpell: result = Flag(eventCode == 16 && spellName.Equals(first.Text())); break;
    case kIsWeapon: result = Flag(IsWeapon(first.Text())); break;
    case kItemValue: result = Number(ItemValue(first.Text())); break;
    case kIsCurrentMap: result = Flag(IsCurrentMap(first.Text())); break;
    case kIsCurrentWorld: result = Flag(IsCurrentWorld(first.Text())); break;
    case kAddObjectToList: AddObjectToList(first.Text(), second.Text()); break;
    case kShowObjectList: ShowObjectList(); break;
    case kGetObjectListResult: {
      const char* text = nullptr;
      if (GetObjectListResult(text)) result = SScriptValue::MakeString(text);
      break;
    }
    case kMessage: ShowMessage(first.Text(), 0); break;
    case kRandom: result = Number(Random(first.Int())); break;
    case kTalkNpc:
      if (game) game->QueueService(first.Text());
      break;
    case kSetMapFog: SetMapFog(first.Text(), second.Int(), third.Text()); break;
    case kResetMapFog: ResetMapFog(first.Text()); break;
    case kGetWeatherCloud: result = Number(game ? game->GetWeatherValue() : 0); break;
    case kSetWeatherCloud:
      if (game) game->SetWeather(first.Text(), std::clamp(second.Int(), 0, 100));
      break;
    case kGetWeatherRain: result = Number(game ? game->GetRainIntensity() : 0); break;
    case kSetWeatherRain:
      if (game) game->SetRainIntensity(std::clamp(first.Int(), 0, 999));
      break;
    case kRemoveMonsterTypes: RemoveMonsterTypes(first.Text()); break;
    case kCreateMonsterObj: CreateMonsterObj(first.Text(), second.Text()); break;
    case kCreateMonsterPos: CreateMonsterPos(first.Text(), second.Int(), third.Int()); break;
    case kCreateMonsterDir: CreateMonsterDir(first.Text(), second.Text(), third.Int()); break;
    case kPlaySound:
      if (core) core->world.sounds.PlayByName(first.Text(), std::clamp(second.Int(), 0, 10));
      break;
    case kPlayMusic: PlayMusic(first.Text()); break;
    case kAttractMonsters: CalmOrAttract(first.Int(), true); break;
    case kCalmMonsters: CalmOrAttract(first.Int(), false); break;
    case kPlayScene:
      if (game) game->QueueScene(first.Text());
      break;
    case kPlayCard: break;  // a card challenge from a script has no action
    case kDefault: DoDefaultAction(); break;
    case kQuestionYesNo: Ask(first.Text(), SDialogMessage::kYes | SDialogMessage::kNo); break;
    case kQuestionOkCancel: Ask(first.Text(), SDialogMessage::kOk | SDialogMessage::kCancel); break;
    case kAnswer: result = Number(lastAnswer); break;
    case kGoodbye:
      if (conversation) conversation->Goodbye();
      break;
    case kCreateObjectList: CreateObjectList(first.Text()); break;
    case kPassTime:
      // A negative span passes no time: it would run the clock to its end.
      if (game)
        game->PassTime(u32(std::max(first.Int(), 0)), u32(std::max(second.Int(), 0)), u32(std::max(third.Int(), 0)));
      break;
    case kGoNext:
      if (conversation) conversation->goNext = 1;
      break;
    case kPassTimeTo: PassTimeTo(first.Text()); break;
    case kGoFirst:
      if (conversation) conversation->goFirst = 1;
      break;
    default:
      if (const u32 event = ScriptEventTested(id)) result = Flag(eventCode == event);
      break;
  }
  return 0;
}

// ---- questions and lists

void SScriptContext::Ask(const char* text, u32 buttons) {
  // Only the game's message line asks: a conversation or a scene shows nothing.
  SStateGame* game = Game();
  if (output != kOutputGameMessage || !game) return;
  SString question(text ? text : "");
  ExpandTextMacros(question);
  game->QueueMessage(question.CStr(), buttons, nullptr);
}

void SScriptContext::CreateObjectList(const char* title) {
  if (output == kOutputConversation) {
    if (core && core->states[kStateDialog]) static_cast<SStateDialog*>(core->states[kStateDialog])->StartChoiceList();
    return;
  }
  if (output != kOutputGameMessage) return;
  DropList();
  list_ = new (std::nothrow) SDialogListCtrl;
  if (!list_) return;
  if (SStateGame* game = Game()) list_->Attach(game);
  list_->SetFont(1, SGameCore::kMessageTextColour, 0xC0C0C0, nullptr);
  listStarted = 1;
  listTitle.Assign(title ? title : "");
  chosenText.Assign("");
}

void SScriptContext::AddObjectToList(const char* id, const char* title) {
  if (output == kOutputConversation) {
    if (core && core->states[kStateDialog])
      static_cast<SStateDialog*>(core->states[kStateDialog])->AddListEntry(id ? id : "", title ? title : "");
    return;
  }
  if (output == kOutputGameMessage && listStarted && list_) list_->AddRowWithKey(id ? id : "", title ? title : "", 0);
}

void SScriptContext::ShowObjectList() {
  SStateGame* game = Game();
  if (output != kOutputGameMessage || !listStarted || !list_ || !game) return;
  list_->LayoutRows(140);
  // The game's event owns the list from here on.
  game->QueueChoiceList(list_);
  list_ = nullptr;
}

// ---- weather, fog and time

void SScriptContext::SetMapFog(const char* name, i32 distance, const char* colour) {
  SMapArea* map = core && name ? core->world.modules.FindMap(name) : nullptr;
  // A map placed on its own in the window keeps its fog.
  if (!map || map->IsOutdoor()) return;
  map->visibility = u8(std::clamp(distance, 0, 100));
  map->fogColour = FogColour(colour);
  SStateGame* game = Game();
  if (game && game->window.CurrentArea() == map) game->UpdateSkyAndLight(false);
}

void SScriptContext::ResetMapFog(const char* name) {
  SMapArea* map = core && name ? core->world.modules.FindMap(name) : nullptr;
  if (!map || map->IsOutdoor()) return;
  map->visibility = map->dataVisibility;
  map->fogColour = map->dataFogColour;
  SStateGame* game = Game();
  if (game && game->window.CurrentArea() == map) game->UpdateSkyAndLight(false);
}

void SScriptContext::PassTimeTo(const char* text) {
  SStateGame* game = Game();
  const u32 length = StrLength(text);
  if (!game || length < 3) return;
  i32 n = StrToInt(text);
  if (n >= 0 && n <= 99) n *= 100;
  if (n < 0 || n >= 1300) return;
  if (StrCompareNoCase(text + length - 2, "am") == 0) {
    if (n >= 1200) n -= 1200;  // 12 am is midnight
  } else if (n < 1200) {
    n += 1200;
  }
  // "1199pm" names no minute of the day.
  if (n > 2359 || n % 100 >= 60) return;
  const u32 target = u32(n / 100 * 60 + n % 100);
  const u32 span = (target + 1440 - game->GetClockMinutes() % 1440) % 1440;
  if (span) game->PassTime(0, span / 60, span % 60);
}

void SScriptContext::PlayMusic(const char* name) {
  SStateGame* game = Game();
  if (!core || !name || !core->world.sounds.FindSong(name)) return;
  if (game) game->StopMusic();
  const i32 channel = core->world.sounds.PlayMusicByName(name);
  // The game state keeps the track, so that its own choice later replaces it in turn.
  if (game) {
    game->musicName.Assign(name);
    game->musicChannel = channel >= 0 ? channel : -1;
  }
}

// ---- monsters

void SScriptContext::CalmOrAttract(i32 distance, bool attract) {
  SStateGame* game = Game();
  const u32 changed = game ? game->CalmOrAttractMonsters(distance, attract) : 0;
  if (attract)
    ShowMessage(changed ? "You have attracted some monsters." : "You have failed to attract any monsters.", 1);
  else
    ShowMessage(changed ? "You have calmed some monsters down." : "You have failed to calm any monsters down.", 1);
}

void SScriptContext::CreateMonsterAt(const char* templateName, SMapArea* area, i64 x, i64 y, bool marked) {
  SMonster* monster = core && templateName ? core->world.monsters.FindMonster(templateName) : nullptr;
  // Nothing is placed outside the map: the window would read outside its grid.
  if (!monster || !area || x < 0 || y < 0 || x >= area->width || y >= area->height) return;
  SMapMonster* placed =
      marked ? area->AddMarkedMonster(monster, i32(x), i32(y)) : area->AddMonster(monster, i32(x), i32(y));
  SStateGame* game = Game();
  if (!placed || !game) return;
  i32 column = 0, row = 0;
  if (!game->window.GetAreaLocalPosition(*area, i32(x), i32(y), column, row) || !SMapWindow::Inside(column, row))
    return;
  game->window.MarkTemplateNeeded(monster);
  if (!game->PlaceObjectInArea(*area, *placed, i32(x), i32(y))) return;
  // Drawn from the next rebuild of its cell (it may have gone to a free neighbour).
  placed->displayIndex = game->window.NextMonsterNumber();
  if (game->window.GetAreaLocalPosition(*area, placed->cellX, placed->cellY, column, row))
    AddChangedObject(area, column, row, -1, 1);
  game->monstersChanged = 1;
}

void SScriptContext::CreateMonsterObj(const char* templateName, const char* object) {
  const SWorldModule* world = core ? core->world.modules.current : nullptr;
  SMapArea* area = nullptr;
  const SMapObjectInst* o = world && object ? world->FindObjectByName(object, area) : nullptr;
  // An object without a cell (255) lies outside every map.
  if (o) CreateMonsterAt(templateName, area, o->cellX, o->cellY, false);
}

void SScriptContext::CreateMonsterPos(const char* templateName, i32 x, i32 y) {
  SStateGame* game = Game();
  if (game) CreateMonsterAt(templateName, game->window.CurrentArea(), x, y, true);
}

void SScriptContext::CreateMonsterDir(const char* templateName, const char* direction, i32 distance) {
  SStateGame* game = Game();
  SMapArea* area = game ? game->window.CurrentArea() : nullptr;
  if (!area) return;
  i64 x = game->window.playerX, y = game->window.playerY;
  switch (direction ? CharToLower(direction[0]) : 'n') {
    case 'w': x -= distance; break;
    case 's': y += distance; break;
    case 'e': x += distance; break;
    default: y -= distance; break;  // north, and any other word
  }
  if (area->IsOutdoor()) {
    x -= 7;
    y -= 7;
  }
  CreateMonsterAt(templateName, area, x, y, true);
}

void SScriptContext::RemoveMonsterTypes(const char* templateName) {
  SStateGame* game = Game();
  SMapArea* area = game ? game->window.CurrentArea() : nullptr;
  const SMonster* monster = core && templateName ? core->world.monsters.FindMonster(templateName) : nullptr;
  if (!area || !monster) return;
  // Off the grid first, then out of the area; monsters of the map data stay.
  for (SMapMonster* m : area->monsters) {
    if (m->monster != monster || !(m->flags & SMapMonster::kMarked)) continue;
    i32 column = 0, row = 0;
    if (game->window.GetAreaLocalPosition(*area, m->cellX, m->cellY, column, row) && SMapWindow::Inside(column, row))
      AddChangedObject(area, column, row, -1, 1);
    game->RemoveObjectAt(*area, *m);
  }
  area->RemoveMonstersOfType(monster);
  game->monstersChanged = 1;
}
