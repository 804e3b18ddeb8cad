// Stealing from a townsperson whose back is turned: the prompt with the chance in words, and the theft
// with its loot, or the crime and the lost fame of a failure.
#include "core/SGameCore.h"
#include "core/ui/SDialogMessage.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"

namespace {

constexpr u32 kStealthSkill = 20;

}  // namespace

const char* SStateGame::StealChanceWord(i32 chance) {
  if (chance >= 91) return "very good";
  if (chance >= 71) return "good";
  if (chance >= 41) return "average";
  return "slight";
}

i32 SStateGame::StealChance(const SMapMonster& person) {
  if (!core || !person.monster) return 0;
  SPlayer& player = core->player;
  const i32 n = i32(CountTownspeopleNear());
  const i32 s =
      i32(player.SkillLevel(kStealthSkill)) + player.SumEffects(kCategoryFortifySkill, kStealthSkill, nullptr, nullptr);
  return (s < i32(person.monster->theftDifficulty) ? 60 : 100) - 5 * n;
}

void SStateGame::AskSteal(SGameEvent& event) {
  if (!event.area || !event.monster || event.area->monsters.IndexOf(event.monster) < 0) return;
  theftArea = event.area;
  theftOut = event.numberA;
  theftPerson = event.monster;
  SString text;
  if (CountTownspeopleNear() > 1) text.Assign("There are people around.\r");
  text.FormatAppend("Do you try to steal (chance: %s)?", StealChanceWord(StealChance(*event.monster)));
  QueueMessage(text.CStr(), SDialogMessage::kYes | SDialogMessage::kNo, nullptr);
  ProcessEvents(true);
  subMode = kStealing;
}

void SStateGame::Steal() {
  SMapMonster* person = theftPerson;
  if (!core || !theftArea || !person || theftArea->monsters.IndexOf(person) < 0 || !person->monster) return;
  SPlayer& player = core->player;
  const i32 chance = StealChance(*person);
  if (player.practice[kStealthSkill] < 255) ++player.practice[kStealthSkill];
  if (Random().Next(100) < chance) {
    SItemContainer* bag = person->containerId ? theftArea->FindContainerById(person->containerId) : nullptr;
    if (!bag || bag->GetItemCount() == 0) {
      QueueMessage("There's nothing to steal!", SDialogMessage::kOk, nullptr);
      return;
    }
    SItem* item = bag->GetItem(Random().Next(bag->GetItemCount()));
    if (!item) return;
    bag->RemoveItem(item);
    SString text("You have stolen ");
    if (item->type) player.FormatItemName(item->type, 1, text);
    text.Append(".");
    player.ReceiveItem(item);
    QueueMessage(text.CStr(), SDialogMessage::kOk, nullptr);
    return;
  }
  QueueMessage("You failed!", SDialogMessage::kOk, nullptr);
  player.ChangeCrime(2);
  player.ChangeFame(-2);
  FaceThePlayer(*person);
}
