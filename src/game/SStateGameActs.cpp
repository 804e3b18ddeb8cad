// The conversation a talk with a person or a talking monster leads to.
#include "game/SStateGame.h"

#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "screens/SStateShop.h"
#include "script/SScriptContext.h"
#include "world/SPeopleTables.h"

bool SStateGame::Answers(const SNpc* person) {
  const auto* lists = person ? static_cast<const SDialogEntryListPair*>(person->conversation) : nullptr;
  return (lists && (lists->first.Count() || lists->second.Count())) ||
         (person && person->texts[3] && *person->texts[3]);
}

u32 SStateGame::TalkToNpc(SMapMonster* placed, SMapArea* area, SMapObjectInst* object) {
  if (!core || !placed || !placed->monster) return 0;
  const SMonster& type = *placed->monster;
  // The person record the monster's type names, when it has something to offer.
  if (SNpc* person = type.talk && *type.talk ? core->world.rules.people.FindByName(type.talk) : nullptr) {
    if (!Answers(person)) {
      QueueMessage("No answer", 0, nullptr);
      return 0;
    }
    if (core->scriptContext) core->scriptContext->SetTalkingMonster(object, area, placed, person);
    // The speaker names its shop's stock: the container of its id in the area (the script context's).
    return TalkTo(person, SStateShop::SpeakerWord(placed->containerId), false);
  }
  // Without one, a monster with a list of its own speaks through the game state's record.
  if (const u32 next = TalkToMonster(object, area, placed)) return next;
  QueueMessage("No answer", 0, nullptr);
  return 0;
}
