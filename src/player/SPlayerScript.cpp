// The script functions of the player rows: the data's scripts read and change the player's quests, items,
// experience, money, skills, spells, abilities, attributes, hit and spell points, fame and crime, and ask
// the game for moves, prison and travel.
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "script/SScriptValue.h"
#include "world/SCharacterTables.h"
#include "world/SSpell.h"
#include "world/SWorldRules.h"

#include <algorithm>

namespace {

constexpr char kCoin = 9;

}  // namespace

u32 SPlayer::CallScriptFunction(u32 id, const SScriptValue& first, const SScriptValue& second,
                                const SScriptValue& third, SScriptValue*& result) {
  result = nullptr;
  auto answer = [&](i32 n) { result = SScriptValue::MakeInt(n); };
  auto flag = [&](bool b) { answer(b ? 1 : 0); };
  SStateGame* state = game ? game->stateGame : nullptr;
  const char* t1 = first.Text();
  const i32 n1 = first.Int();
  switch (id) {
    case 131: AddQuest(t1); break;
    case 132:
      if (HasQuest(t1)) EndQuest(t1, true);
      break;
    case 133:
      if (HasQuest(t1)) EndQuest(t1, false);
      break;
    case 134: flag(HasQuest(t1)); break;
    case 135: flag(IsQuestSolved(t1)); break;
    case 136: flag(IsQuestFailed(t1)); break;
    case 137: RemoveQuest(t1); break;
    case 138: FindItemsReported(t1, second.Int(), true); break;
    case 139: ReceiveItemsReported(t1, second.Int(), true); break;
    case 140: LoseItems(t1, second.Int()); break;
    case 141: flag(i64(CountItems(t1)) >= i64(second.Int())); break;
    case 143: ChangeXp(n1, true); break;
    case 144: LoseXp(n1, second.Int() != 0); break;
    case 145: RestoreLostXp(); break;
    case 146:
    case 147:
      // A negative amount adds nothing; a purse past its cap stays full and the whole amount is reported.
      if (n1 >= 0) {
        money = u32(std::min<u64>(u64(money) + u64(n1), kMoneyCap));
        messageText.Format("You have %s %ld%c.", id == 146 ? "found" : "received", long(n1), kCoin);
        Report(messageText.CStr());
      }
      break;
    case 148: LoseMoney(n1, true); break;
    case 149: answer(i32(std::min<u32>(money, 0x7FFFFFFF))); break;
    case 151: QueueTeleport(t1, second.Text()); break;
    case 152: answer(GetSkillByName(t1)); break;
    case 153: ChangeSkill(rules_ ? rules_->skills.FindByName(t1) : 0, second.Int(), true); break;
    case 154: LearnSpell(t1, true); break;
    case 155: ForgetSpell(t1); break;
    case 156: flag(KnowsSpell(t1)); break;
    case 157: AddAbility(t1, true); break;
    case 158: RemoveAbility(t1); break;
    case 159: flag(HasAbility(t1)); break;
    case 160: answer(GetAttributeByKey(t1)); break;
    case 161: ChangeAttribute(rules_ ? rules_->attributes.FindByKey(t1) : 0, second.Int(), true); break;
    case 162: QueueTeleportPlain(t1); break;
    case 163:
      if (state) state->QueueMapTransition(t1, second.Text(), 0, 0);
      break;
    case 164: QueueTurnTo(t1); break;
    case 165: QueueCellMove(n1, second.Int()); break;
    case 166: answer(i32(GetMapX())); break;
    case 167: answer(i32(GetMapY())); break;
    case 173: Infect(t1); break;
    case 174: CureDisease(t1); break;
    case 175: flag(*t1 ? HasDisease(t1) : !diseases.IsEmpty()); break;
    case 176: result = SScriptValue::MakeString(GetRaceName()); break;
    case 177: answer(hp); break;
    case 178:
      // Without bounds above the maximum, but within what the field holds.
      SetHp(n1, true);
      break;
    case 179: ChangeHp(n1, true); break;
    case 180: RestoreFullHp(true); break;
    case 181: answer(GetMaxHp()); break;
    case 182: answer(mana); break;
    case 183: SetMana(n1, true); break;
    case 184: ChangeMana(n1, true); break;
    case 185: RestoreFullMana(true); break;
    case 186: answer(GetMaxMana()); break;
    case 192: flag(fame >= 0); break;
    case 193: flag(fame < 0); break;
    case 194: flag(race == 1); break;
    case 195: {
      const SSpell* spell = rules_ ? rules_->spells.FindByName(t1) : nullptr;
      if (spell && state) state->CastSpell(*spell, second.Int());
      break;
    }
    case 196: answer(fame); break;
    case 197: ChangeFame(n1); break;
    case 198: answer(i32(std::min<u32>(crime, 0x7FFFFFFF))); break;
    case 199: ClearCrime(); break;
    case 200: ChangeCrime(n1); break;
    case 201: answer(GetOutfitScore(nullptr)); break;
    case 210: answer(level); break;
    case 213: answer(GetArmorClassPlain()); break;
    case 228: QueueMapTransition(t1, second.Text(), third.Text()); break;
    case 234: QueueJail(t1); break;
    case 235: QueueStepBack(); break;
    case 236:
      if (state) state->imprisoned = state->sentenceBegan = 0;
      break;
    case 237: flag(state && state->imprisoned != 0); break;
    case 239: flag(IsParalyzed()); break;
    case 240: flag(GetPoisonStrength() != 0); break;
    case 241: flag(IsCursed()); break;
    case 242: answer(i32(std::min<u32>(restorableXp, 0x7FFFFFFF))); break;
    case 246: flag(sex == 1); break;
    case 251: result = SScriptValue::MakeString(GetBestSkillOf(t1)); break;
    case 254: QueueTravel(t1, second.Text()); break;
    default: break;
  }
  return 0;
}
